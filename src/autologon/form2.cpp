// Form2's handlers: the result text and the rule that OK needs a user name.
#include "autologon/form2.h"

namespace ostrevo {

void WipeText(std::wstring& text) {
    // Volatile: stores to memory about to be freed could otherwise be left out.
    for (volatile wchar_t& letter : text) letter = L'\0';
    text.clear();
}

void Form2::TextBox::SetText(const std::wstring& text) {
    if (text == text_) return;
    text_ = text;
    if (change_) change_();
}

Form2::Form2()
    : edtusername(L"Text1", [this] { edtusername_Change(); }),
      edtdomain(L"Text2", [this] { edtdomain_Change(); }),
      edtpassword(L"Text3", [this] { edtpassword_Change(); }) {}

void Form2::btnok_Click() {
    if (btnok.Enabled) Tag = L"OK";
}

void Form2::Command2_Click() { Tag.clear(); }

// Exact comparison: a user name of blanks is still a user name here.
void Form2::edtusername_Change() { btnok.Enabled = !edtusername.Text().empty(); }

void Form2::edtdomain_Change() { edtusername_Change(); }

void Form2::edtpassword_Change() { edtusername_Change(); }

}  // namespace ostrevo
