// A scripted user: answers message boxes, input boxes, the dialog and the popup from queues, and
// records what it was shown.
#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "autologon/form2.h"
#include "platform/ui_api.h"
#include "shell/menu_item.h"

namespace ostrevo {

class SimUi : public UiApi {
public:
    struct Message {
        std::wstring text;
        std::wstring caption;
        uint32_t style;
    };

    // An empty queue answers 0, as a box that could not be shown.
    int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style) override {
        messages.push_back({text, caption, style});
        return Next(answers, 0);
    }
    void SetForegroundWindow() override { events.push_back("foreground"); }
    // The next choice names a visible item by its caption path; nothing chosen when none is queued.
    MenuItem* TrackPopupMenu(MenuItem& popup) override {
        events.push_back("popup");
        MenuItem* item = &popup;
        for (const std::wstring& caption : Next(choices, std::vector<std::wstring>{})) {
            MenuItem* found = nullptr;
            for (const auto& child : item->Children()) {
                if (child->Visible && child->Caption == caption) found = child.get();
            }
            if (found == nullptr) return nullptr;
            item = found;
        }
        return item == &popup ? nullptr : item;
    }
    std::optional<std::wstring> InputBox(const std::wstring& prompt, const std::wstring& title,
                                         const std::wstring& defaultText) override {
        inputBoxes.push_back(prompt + L"|" + title + L"|" + defaultText);
        return Next(inputs, std::optional<std::wstring>());
    }
    void ShowAutoLogonDialog(Form2& form) override {
        Next(dialogs, std::function<void(Form2&)>([](Form2&) {}))(form);
    }
    void EndProgram() override { events.push_back("end"); }

    std::deque<int> answers;
    std::deque<std::vector<std::wstring>> choices;
    std::deque<std::optional<std::wstring>> inputs;
    std::deque<std::function<void(Form2&)>> dialogs;  // the user's doings; none leaves it cancelled

    std::vector<Message> messages;
    std::vector<std::wstring> inputBoxes;
    std::vector<std::string> events;

private:
    template <typename T>
    static T Next(std::deque<T>& queue, T none) {
        if (queue.empty()) return none;
        T next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
};

}  // namespace ostrevo
