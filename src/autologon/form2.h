// Form2, the "AutoLogon Details" dialog as its logic sees it: the three text boxes, the OK button's
// enabled state, the result text and the handlers. A platform shows it and forwards what the user does.
#pragma once
#include <functional>
#include <string>

namespace ostrevo {

// Overwrites a text before it is freed, so that no password lingers in freed memory; leaves it empty.
void WipeText(std::wstring& text);

class Form2 {
public:
    // A text box: assigning a different text raises its change event, as typing into it does.
    class TextBox {
    public:
        TextBox(std::wstring designText, std::function<void()> change)
            : text_(std::move(designText)), change_(std::move(change)) {}
        // It may hold a password.
        ~TextBox() { WipeText(text_); }
        TextBox(const TextBox&) = delete;
        TextBox& operator=(const TextBox&) = delete;
        const std::wstring& Text() const { return text_; }
        void SetText(const std::wstring& text);

    private:
        std::wstring text_;
        std::function<void()> change_;
    };

    struct Button {
        bool Enabled;
    };

    // The design state: placeholder texts, OK disabled, no result.
    Form2();
    // The text boxes call back into this object.
    Form2(const Form2&) = delete;
    Form2& operator=(const Form2&) = delete;

    TextBox edtusername;
    TextBox edtdomain;
    TextBox edtpassword;
    Button btnok{false};
    // The result text: "OK" once OK was pressed, empty for any other way out.
    std::wstring Tag;

    // The platform ends the modal display after either click; a disabled OK takes no click.
    void btnok_Click();
    void Command2_Click();
    void edtusername_Change();
    void edtdomain_Change();
    void edtpassword_Change();
};

}  // namespace ostrevo
