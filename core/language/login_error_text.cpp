#include "core/language/login_error_text.h"

#include "core/language/language.h"

namespace {

// Language key per index; nullptr leaves the caller's text as it is.
const char* const kLoginErrorKeys[kLoginErrorTextCount] = {
    "info.login_password_err",    // -1
    nullptr,                      // 0
    "info.login_password_err",    // 1
    "info.login_user_no_exist",   // 2
    "info.login_timeout",         // 3
    "info.login_repeat",          // 4
    "info.login_user_lock",       // 5
    "info.login_user_blacklist",  // 6
    "info.login_sys_busy",        // 7
    nullptr,                      // 8
    "info.login_con_host",        // 9
    nullptr,                      // 10
    "K0008_OtherErrors",          // 11
};

}  // namespace

int LoginErrorText(QString& text, int index) {
  if (index < 0 || index >= kLoginErrorTextCount) return 1;
  if (const char* key = kLoginErrorKeys[index]) text = Text(QString::fromLatin1(key));
  return 1;
}
