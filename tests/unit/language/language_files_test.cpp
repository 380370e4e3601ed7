// Every shipped language file: decodes, defines every key the program uses
// (and no other), in its own language, with exactly the placeholders the
// callers format.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <set>

#include "core/ini/private_profile.h"
#include "core/language/language.h"

namespace {

const char* const kKeys[] = {
    "ck.All", "ck.Bit_Rate", "ck.Channels", "ck.Cloud", "ck.Dev_start_time", "ck.Dev_time", "ck.Frame_Rate",
    "ck.HTTP_port", "ck.IP", "ck.Image_Quality", "ck.Login_state", "ck.MAC", "ck.Model", "ck.NO", "ck.Onvif_port",
    "ck.Release_time", "ck.Resolution", "ck.TCP_port", "ck.Type", "ck.Vedio_Standard", "ck.Version",
    "info.Configuring_wait", "info.IP_set_error", "info.Login_fail", "info.Port_set_error_same",
    "info.Searching_wait", "info.login_con_host", "info.login_fail_s", "info.login_password_err",
    "info.login_repeat", "info.login_sys_busy", "info.login_timeout", "info.login_user_blacklist",
    "info.login_user_lock", "info.login_user_no_exist", "info.operate_completed", "info.operate_fail",
    "info.operate_success", "info.operate_timeout", "info.search_failed_d", "info.select_updata_config_file",
    "info.select_upgrade_file", "info.two_pas_inconsistent", "menu.Batch_Operate", "menu.Capacity_calucator",
    "menu.Dev_info", "menu.Setting", "msg.Already_logined", "msg.Contain_Illegal_Char", "msg.Ensure_default_setting",
    "msg.Ensure_modify_password", "msg.Ensure_modify_port", "msg.Ensure_reboot", "msg.Ensure_updata_config",
    "msg.Ensure_upgrade", "msg.Err_new_model_empty", "msg.Exit", "msg.Login", "msg.Login_first", "msg.Msg",
    "msg.Sel_dev_first", "msg.Sel_one_dev_first", "msg.sel_channel_first", "tx.About", "tx.Add_channel",
    "tx.Admin_Pas", "tx.All", "tx.Cancel", "tx.Config_file", "tx.Configuration", "tx.Confirm", "tx.Copy", "tx.Days",
    "tx.DefaultSetting", "tx.Del_channel", "tx.Des_model", "tx.DevOperate", "tx.Device_list", "tx.Dhcp",
    "tx.Disk_space", "tx.Disk_space_given", "tx.Export", "tx.Find", "tx.Gateway", "tx.Help", "tx.Hours",
    "tx.Http_Onvif_port", "tx.Image_quality_best", "tx.Image_quality_better", "tx.Image_quality_good",
    "tx.Image_quality_low", "tx.Image_quality_lowest", "tx.Image_quality_standard", "tx.ImportConfig", "tx.Ip",
    "tx.Logined", "tx.Main_stream", "tx.Mask", "tx.Minute", "tx.Modify", "tx.Modify_channel", "tx.Modify_model",
    "tx.NetParam", "tx.NetworkModify", "tx.New_pas", "tx.OK", "tx.Old_pas", "tx.Open_web", "tx.Password",
    "tx.Period", "tx.Period_Search", "tx.Port", "tx.Preview", "tx.PriDns", "tx.Reboot", "tx.RebootDev",
    "tx.Record_time", "tx.Record_time_per_day", "tx.Recording_time_given", "tx.Rtsp_port", "tx.Search",
    "tx.Security", "tx.Set_devinfo_option", "tx.Set_lang", "tx.Set_search_param", "tx.SndDns", "tx.Sub_stream",
    "tx.SwitchLang", "tx.Sys_set", "tx.Tcp_port", "tx.Upgrade", "tx.Upgrade_file", "tx.Username",
    "tx.dev_num_descri", "tx.fail", "tx.success", "tx.unLogin", "strContainIllegalChar", "K0008_OtherErrors",
};

// Texts a translation may share with English: protocol names and the like.
const std::set<QString> kSharedTerms = {"DHCP", "OK", "HTTP/ONVIF", "ONVIF", "RTSP", "TCP", "MAC", "IP"};

QString LangFolder() { return QCoreApplication::applicationDirPath() + "/Config File/Lang/"; }

// The key=text lines of the section String, as the loader reads them.
std::map<QString, QString> ReadTexts(const QString& path) {
  std::map<QString, QString> texts;
  QString section;
  ini::GetPrivateProfileSection("String", section, kLanguageReadBufferChars, path);
  for (const QString& line : section.split(QChar(0), Qt::SkipEmptyParts)) {
    const qsizetype eq = line.indexOf('=');
    if (eq >= 0) texts.emplace(line.left(eq), line.mid(eq + 1));
  }
  return texts;
}

QStringList Placeholders(const QString& text) {
  QStringList found;
  static const QRegularExpression re("%[-+ #0-9.]*[a-zA-Z%]");
  for (auto it = re.globalMatch(text); it.hasNext();) found << it.next().captured();
  return found;
}

class ShippedLanguageFile : public ::testing::TestWithParam<int> {
 protected:
  const LanguageEntry& Row() const { return LanguageTable[static_cast<std::size_t>(GetParam())]; }
};

TEST_P(ShippedLanguageFile, DecodesAndDefinesEveryKeyOnce) {
  QFile f(LangFolder() + Row().fileName);  // exact, case-sensitive name
  ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
  const QByteArray bytes = f.readAll();
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString text = decoder.decode(bytes);
  EXPECT_FALSE(decoder.hasError()) << "not valid UTF-8";

  std::map<QString, int> seen;
  bool inString = false;
  for (QString line : text.split('\n')) {
    line = line.trimmed();
    if (line.startsWith('[')) inString = line == "[String]";
    else if (inString && !line.isEmpty() && !line.startsWith(';')) ++seen[line.left(line.indexOf('='))];
  }
  const std::set<QString> wanted(std::begin(kKeys), std::end(kKeys));
  for (const auto& [key, count] : seen) {
    EXPECT_TRUE(wanted.count(key)) << "unknown key " << key.toStdString();
    EXPECT_EQ(count, 1) << "key defined twice: " << key.toStdString();
  }

  const auto texts = ReadTexts(f.fileName());
  for (const char* key : kKeys) {
    auto it = texts.find(key);
    ASSERT_NE(it, texts.end()) << "missing " << key;
    EXPECT_FALSE(it->second.trimmed().isEmpty()) << "empty " << key;
  }
}

TEST_P(ShippedLanguageFile, PlaceholdersAsTheCallersFormatThem) {
  const auto texts = ReadTexts(LangFolder() + Row().fileName);
  for (const char* key : kKeys) {
    const QString k = key;
    QStringList expected;
    if (k == "info.search_failed_d") expected = {"%d"};
    if (k == "info.login_fail_s" || k == "strContainIllegalChar") expected = {"%s"};
    auto it = texts.find(k);
    if (it == texts.end()) continue;
    EXPECT_EQ(Placeholders(it->second), expected) << key << ": " << it->second.toStdString();
  }
}

TEST_P(ShippedLanguageFile, TranslatedNotCopiedFromEnglish) {
  if (GetParam() == 0) return;
  const auto english = ReadTexts(LangFolder() + "eng.lang");
  const auto texts = ReadTexts(LangFolder() + Row().fileName);
  QStringList copied;
  for (const auto& [key, text] : texts) {
    auto en = english.find(key);
    if (en != english.end() && en->second == text && !kSharedTerms.count(text)) copied << key;
  }
  // A few words are the same in a language ("Version", "Export"); a file
  // full of English ones was copied, not translated.
  EXPECT_LE(copied.size(), 8) << "English texts in " << Row().fileName.toStdString() << ": "
                                << copied.join(", ").toStdString();
}

TEST_P(ShippedLanguageFile, LoadsThroughTheLanguageSwitch) {
  SwitchLanguage(GetParam(), QCoreApplication::applicationDirPath() + "/");
  CLanguage* language = GetThreadLanguage();
  EXPECT_EQ(language->CurrentPath(), LangFolder() + Row().fileName);
  for (const char* key : kKeys) EXPECT_NE(language->GetText(key), key) << key;
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, ShippedLanguageFile, ::testing::Range(0, kLanguageCount),
                         [](const auto& info) { return LanguageTable[static_cast<std::size_t>(info.param)].code.toStdString(); });

}  // namespace
