#include "support/recording_message_box.h"

#include "common/program_context.h"

RecordingMessageBox::RecordingMessageBox() : previous_(SetMessageBoxHost(this)) {}

RecordingMessageBox::~RecordingMessageBox() { SetMessageBoxHost(previous_); }

int RecordingMessageBox::Show(WindowHandle owner, std::u16string_view text, std::u16string_view caption,
                              uint32_t style) {
    std::lock_guard<std::mutex> hold(mutex_);
    shown_.push_back({owner, std::u16string(text), std::u16string(caption), style});
    return UnattendedAnswer(style);
}

std::vector<RecordingMessageBox::Shown> RecordingMessageBox::Boxes() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return shown_;
}

size_t RecordingMessageBox::Count() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return shown_.size();
}

void RecordingMessageBox::Clear() {
    std::lock_guard<std::mutex> hold(mutex_);
    shown_.clear();
}
