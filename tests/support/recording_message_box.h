// Message boxes for tests: while one of these lives, every box of the
// program is recorded here instead of shown, and answered as an unattended
// box would be.
#pragma once

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

    std::vector<Shown> Boxes() const;
    size_t Count() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<Shown> shown_;
    MessageBoxHost* previous_;
};
