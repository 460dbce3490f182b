// Message boxes for tests: while one of these lives, every box of the
// program is recorded here instead of shown, and answered from a script.
// Without a scripted answer it answers as an unattended box would.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message_box.h"

class RecordingMessageBox : public MessageBoxHost {
public:
    struct Shown {
        WindowHandle owner;
        std::u16string text;
        std::u16string caption;
        uint32_t style;
    };

    RecordingMessageBox();  // installs itself
    ~RecordingMessageBox() override;  // puts back the host it replaced

    int Show(WindowHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t style) override;

    void Answer(int answer);  // queues the next answer
    std::vector<Shown> Boxes() const;
    size_t Count() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<Shown> shown_;
    std::deque<int> answers_;
    MessageBoxHost* previous_;
};
