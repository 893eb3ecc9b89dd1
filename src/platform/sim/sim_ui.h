// A scriptable user: answers message boxes, input boxes, dialogs and popups from queues and
// records everything it was shown.
#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui_api.h"

namespace ostrevo {

class SimUi : public UiApi {
public:
    struct Message {
        std::wstring text;
        std::wstring caption;
        uint32_t style;
    };
    struct Input {
        std::wstring prompt;
        std::wstring title;
        std::wstring defaultText;
    };

    int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style) override;
    void SetForegroundWindow() override { ++foregroundCalls; }
    MenuItem* TrackPopupMenu(MenuItem& popup) override;
    std::optional<std::wstring> InputBox(const std::wstring& prompt, const std::wstring& title,
                                         const std::wstring& defaultText) override;
    void ShowAutoLogonDialog(Form2& form) override;
    void EndProgram() override { ended = true; }

    // Script. An empty queue answers Yes/No boxes with No, input boxes with Cancel and popups by
    // dismissing them, and counts the miss in `unscripted`.
    std::deque<int> answers;
    std::deque<std::optional<std::wstring>> inputs;
    std::deque<std::vector<std::wstring>> menuChoices;  // caption paths, e.g. {"Default OS", "Beta"}
    std::deque<std::function<void(Form2&)>> dialogActions;

    // Record.
    std::vector<Message> messages;
    std::vector<Input> inputBoxes;
    // The popup as shown each time: one line per visible item, indented per level,
    // "[x] " for a checked item, "(disabled) " for a disabled one.
    std::vector<std::vector<std::wstring>> shownMenus;
    int foregroundCalls = 0;
    int dialogsShown = 0;
    int unscripted = 0;
    bool ended = false;
};

// The visible items of a menu as SimUi records them.
std::vector<std::wstring> DescribeMenu(const MenuItem& popup);

}  // namespace ostrevo
