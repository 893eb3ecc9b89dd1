// A scripted user: answers the message boxes, input boxes, dialog and popup from queues, and records
// what it was shown. An empty queue answers 0 (a box that could not be shown), Cancel, nothing chosen.
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
        std::wstring text, caption;
        uint32_t style;
    };

    int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t style) override {
        messages.push_back({text, caption, style});
        return Pop(answers, 0);
    }
    void SetForegroundWindow() override { events.push_back("foreground"); }
    // The next choice names an item by the captions of its path.
    MenuItem* TrackPopupMenu(MenuItem& popup) override {
        events.push_back("popup");
        MenuItem* item = &popup;
        for (const std::wstring& caption : Pop(choices, {})) {
            MenuItem* parent = item;
            item = nullptr;
            for (const auto& child : parent->Children()) {
                if (child->Visible && child->Caption == caption) item = child.get();
            }
            if (item == nullptr) return nullptr;
        }
        return item == &popup ? nullptr : item;
    }
    std::optional<std::wstring> InputBox(const std::wstring& prompt, const std::wstring& title,
                                         const std::wstring& defaultText) override {
        inputBoxes.push_back(prompt + L"|" + title + L"|" + defaultText);
        return Pop(inputs, {});
    }
    void ShowAutoLogonDialog(Form2& form) override {
        if (const auto user = Pop(dialogs, {})) user(form);
    }
    void EndProgram() override { events.push_back("end"); }

    std::deque<int> answers;
    std::deque<std::vector<std::wstring>> choices;
    std::deque<std::optional<std::wstring>> inputs;
    std::deque<std::function<void(Form2&)>> dialogs;  // what the user does there
    std::vector<Message> messages;
    std::vector<std::wstring> inputBoxes;
    std::vector<std::string> events;

private:
    template <typename T>
    static T Pop(std::deque<T>& queue, T none) {
        if (queue.empty()) return none;
        T next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
};

}  // namespace ostrevo
