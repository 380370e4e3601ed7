#pragma once
// Character checks of user input before it goes to a device. On failure the
// text is replaced by the first byte that is not allowed, for the message.

#include <string>

// ASCII letters, digits and ! # $ % & * + , - . / : ; < = > ? @ ^ _ |
bool IsValidPasswordChars(std::string& text);
// Printable ASCII (blank to "~") except " ' ? and backslash.
bool IsValidTextChars(std::string& text);
