#pragma once
// One read of an INI file, answering every private-profile read of a load:
// the configuration is read once per load, not once per key. The file is
// read whole once; one pass over it finds the first section of each name
// (headers found with memchr, so comments and long values cost next to
// nothing), and each lookup searches only its section, decoding no more of
// a value than the caller's buffer holds. A section's entries are searched
// where they lie, so memory stays the file's size however many keys it has
// (plus one small record per section name).
//
// The semantics are those of the private-profile calls (private_profile.h):
// case-insensitive names, the first section and the first key of a name win,
// values cut to the caller's buffer.

#include <QString>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/ini/ini_file.h"
#include "core/ini/ini_scanner.h"

namespace ini {

class ProfileSnapshot {
 public:
  // Reads the file at path once. A missing, unreadable or not regular file
  // reads as an empty one.
  explicit ProfileSnapshot(const QString& path);
  explicit ProfileSnapshot(IniFile file);
  // The text view points into the file's bytes: a snapshot stays where it was made.
  ProfileSnapshot(const ProfileSnapshot&) = delete;
  ProfileSnapshot& operator=(const ProfileSnapshot&) = delete;

  const IniFile& file() const { return file_; }

  // As GetPrivateProfileString, GetPrivateProfileInt and
  // GetPrivateProfileSection (private_profile.h), from this read.
  int GetString(const QString& section, const QString& key, const QString& def, QString& out, int bufferSize) const;
  int GetInt(const QString& section, const QString& key, int def) const;
  int GetSection(const QString& section, QString& out, int bufferSize) const;
  // The values of many keys of one section in one pass over it: as
  // GetString for each key, in the order of keys.
  std::vector<QString> GetStrings(const QString& section, const std::vector<QString>& keys, const QString& def,
                                  int bufferSize) const;

  // Where a section and one of its keys lie, for a write.
  struct Section {
    qsizetype header = -1;  // start of the "[name]" line; -1 when there is no such section
    qsizetype body = 0;     // start of the line after it
    qsizetype end = 0;      // start of the next header, or the text's end
  };
  struct Entry {
    bool found = false;
    Line line;
    qsizetype equals = 0;  // position of the line's first "="
  };
  Section FindSection(const QString& section) const;
  Entry FindEntry(const Section& section, const QString& key) const;

 private:
  void IndexSections();
  // The value of the entry, at most maxUnits units of it.
  QString ValueText(const Entry& entry, qsizetype maxUnits) const;

  IniFile file_;
  TextView text_;
  std::unordered_map<std::string, Section> sections_;  // by NameKey, the first of each name
};

}  // namespace ini
