#pragma once
#include <string>

// Replaces every occurrence of search (never empty), left to right; the
// search resumes after each inserted replacement.
std::string& ReplaceAll(std::string& text, const std::string& search, const std::string& replacement);

// True when path (UTF-8) names an existing directory.
bool DirectoryExists(const std::string& path);
