#pragma once
// Lists stored in one INI value, separated by vertical bars: the language
// names of LANGUAGE_CFG/Lang and the minutes of SEARCH_CFG/Period_Time.

#include <string>
#include <vector>

// One list item holds at most 31 bytes.
inline constexpr std::size_t kSettingListItemMaxBytes = 31;

// Splits list (narrow text) at each "|"; a last piece without "|" counts
// too, empty pieces are skipped (they name nothing). Each piece is cut to 31
// bytes without splitting a UTF-8 character.
std::vector<std::string> SplitSettingList(const std::string& list);
