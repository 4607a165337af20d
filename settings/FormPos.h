#pragma once
// LoadFormPos and SaveFormPos of Seged: a dialog's screen position in the
// settings file, in the section named after the form.
#include <string>

namespace pelvane {

// Keys Left and Top; 10 when missing.
void LoadFormPos(const std::string& section, int& left, int& top);
void SaveFormPos(const std::string& section, int left, int top);

}  // namespace pelvane
