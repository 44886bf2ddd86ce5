#include "clipboard/ClipboardFavoritesFile.h"
#include "clipboard/FavoritesSupport.h"
#include "platform/core/Json.h"
#include "platform/core/JsonDocument.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

using test::favorite;
using test::incompleteMessage;
using test::listMessage;
using test::messageOf;
using test::missingListMessage;
using test::nameMessage;
using test::unsupportedMessage;
using Lists = std::vector<ClipboardFavoriteList>;

namespace {

const QString unreadable =
    QStringLiteral("This favorites file is unreadable or from a newer version. It has been preserved.");
const QString invalidStandard =
    QStringLiteral("This older favorites file contains invalid standard lists. It has been preserved.");
const QString textMessage = QStringLiteral("Enter the text to save (up to 100,000 characters).");

const ClipboardFavoriteList tags{"tags", "#Tags"};
const ClipboardFavoriteList links{"links", "Links"};
const ClipboardFavoriteList others{"others", "Others"};
const ClipboardFavoriteList work{"W", "Work"};
const Lists builtIns{tags, links, others};

/// What the store does with the bytes of a file: decode and validate, checked
/// as read where it can be; the same as decoding, then validating.
ClipboardFavoritesFile readFile(const QByteArray& json) {
  const QString apart = messageOf([&] { ClipboardFavoritesFile::decode(json).validate(); });
  EXPECT_EQ(messageOf([&] { ClipboardFavoritesFile::decodeValidated(json); }), apart);
  return ClipboardFavoritesFile::decodeValidated(json);
}

const QByteArray builtInListsJSON =
    R"([{"id":"tags","name":"#Tags"},{"id":"links","name":"Links"},{"id":"others","name":"Others"}])";

QByteArray fileJSON(int version, const QByteArray& lists, const QByteArray& items = "[]") {
  return "{\"version\":" + QByteArray::number(version) + ",\"lists\":" + lists + ",\"items\":" + items + "}";
}

/// Whether the file is read straight from its document, not left to the strict reading.
bool readsDirectly(const QByteArray& json) {
  try {
    pf::JsonDocument document(json);
    ClipboardFavoritesFile::fromJson(document);
    return true;
  } catch (const pf::JsonUnsure&) {
    return false;
  }
}

/// Repeats one user-perceived character.
QString characters(const QString& character, int count) { return character.repeated(count); }

const QString thumbsUpMediumSkin = QString::fromUtf8("\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD");
const QString eWithCombiningAcute = QString::fromUtf8("e\xCC\x81");

}  // namespace

TEST(FavoritesFileReading, EveryVersionReadsAsTheCurrentOne) {
  const ClipboardFavorite item{"A", "Name", "Text", "others"};
  const QByteArray legacyItem = R"([{"id":"A","name":"Name","text":"Text"}])";
  const QByteArray item4 = R"([{"id":"A","name":"Name","text":"Text","listID":"others"}])";
  const struct {
    const char* what;
    QByteArray json;
    Lists lists;
    std::vector<ClipboardFavorite> items;
    /// Read straight from the document, as only files of the current version this program writes are.
    bool direct = false;
  } cases[] = {
      {"version 1 goes to Others", R"({"version":1,"items":)" + legacyItem + "}", builtIns, {item}},
      {"version 1 ignores lists", R"({"version":1,"lists":"not read","items":[]})", builtIns, {}},
      {"version 2 with built-ins anywhere",
       fileJSON(2,
                R"([{"id":"others","name":"Others"},{"id":"W","name":"Work"},)"
                R"({"id":"links","name":"Links"},{"id":"tags","name":"#Tags"}])",
                item4),
       {others, work, links, tags},
       {item}},
      {"version 3 with Others only",
       fileJSON(3, R"([{"id":"others","name":"Others"},{"id":"W","name":"Work"}])"),
       {others, work},
       {}},
      {"version 4 without tags and links",
       fileJSON(4, R"([{"id":"others","name":"Others"}])", item4),
       {others},
       {item},
       true},
      {"version 4 with a list and favorites in it",
       fileJSON(4, R"([{"id":"W","name":"Work"},{"id":"others","name":"Others"}])",
                R"([{"id":"A","listID":"W","name":"Name","text":"Text"},)"
                R"({"id":"B","listID":"W","name":"Name","text":"Grüße\n"}])"),
       {work, others},
       {{"A", "Name", "Text", "W"}, {"B", "Name", "Grüße\n", "W"}},
       true},
      {"a whole-number version", R"({"version":4.0,"lists":)" + builtInListsJSON + R"(,"items":[]})", builtIns, {}},
      {"unknown keys",
       R"({"version":4,"extra":1,"lists":[{"id":"others","name":"Others","x":2}],"items":[]})",
       {others},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      const ClipboardFavoritesFile file = readFile(c.json);
      EXPECT_EQ(file.version, 4);
      EXPECT_EQ(file.lists, c.lists);
      EXPECT_EQ(file.items, c.items);
      qint64 stored = 0;
      qint64 storedStrictly = 0;
      EXPECT_EQ(ClipboardFavoritesFile::decode(c.json, &stored),
                ClipboardFavoritesFile::decodeStrictly(c.json, &storedStrictly));
      EXPECT_EQ(stored, storedStrictly);
      EXPECT_EQ(readsDirectly(c.json), c.direct);
    } catch (const std::exception& error) {
      ADD_FAILURE() << error.what();
    }
  }
}

TEST(FavoritesFileReading, RefusedFilesGetTheirOwnSentence) {
  const struct {
    const char* what;
    QByteArray json;
    QString message;
  } cases[] = {
      {"version 0", fileJSON(0, builtInListsJSON), unsupportedMessage},
      {"version 5", fileJSON(5, builtInListsJSON), unsupportedMessage},
      {"version 2 without Links", fileJSON(2, R"([{"id":"tags","name":"#Tags"},{"id":"others","name":"Others"}])"),
       incompleteMessage},
      {"version 2 with links in lower case",
       fileJSON(2, R"([{"id":"tags","name":"#Tags"},{"id":"links","name":"links"},{"id":"others","name":"Others"}])"),
       incompleteMessage},
      {"version 3 with Tags", fileJSON(3, R"([{"id":"tags","name":"Tags"},{"id":"others","name":"Others"}])"),
       invalidStandard},
      {"version 4 without Others", fileJSON(4, R"([{"id":"tags","name":"#Tags"}])"), unreadable},
      {"version 4 with Others renamed", fileJSON(4, R"([{"id":"others","name":"others"}])"), unreadable},
      {"version 3 without Others", fileJSON(3, R"([{"id":"W","name":"Work"}])"), unreadable},
      {"at the size limit", fileJSON(4, builtInListsJSON).leftJustified(ClipboardFavoritesFile::largestFileBytes), ""},
      {"past the size limit", fileJSON(4, builtInListsJSON).leftJustified(ClipboardFavoritesFile::largestFileBytes + 1),
       "This favorites file is larger than 64 MB, more than favorites take. It has been preserved."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(messageOf([&] { readFile(c.json); }), c.message) << c.what;
    EXPECT_EQ(messageOf([&] { ClipboardFavoritesFile::decodeStrictly(c.json).validate(); }), c.message) << c.what;
  }
  // A change whose file would pass the limit is refused, so no file past it is ever written.
  EXPECT_EQ(ClipboardFavoritesFile::tooLargeToSave(),
            "Favorites would take more than 64 MB. Delete favorites you no longer need.");
}

TEST(FavoritesFileReading, MalformedFilesAreTheDecodersOwnErrorNamingThePlace) {
  const struct {
    QByteArray json;
    QString path;
  } cases[] = {
      {R"({"version":"4","lists":[],"items":[]})", "version"},
      {R"({"version":4.5,"lists":[],"items":[]})", "version"},
      {R"({"version":2,"lists":[]})", "items"},
      {R"({"version":1,"items":[{"id":"A","name":"N"}]})", "items[0].text"},
      {fileJSON(4, builtInListsJSON, R"([{"id":"A","name":"N","text":"T"}])"), "items[0].listID"},
      {fileJSON(4, R"([{"id":"others","name":null}])"), "lists[0].name"},
      {R"({"version":4,"lists":[)", ""},
  };
  for (const auto& c : cases) {
    try {
      readFile(c.json);
      ADD_FAILURE() << "read: " << c.json.toStdString();
    } catch (const pf::JsonError& error) {
      EXPECT_EQ(error.path(), c.path) << c.json.toStdString();
    }
  }
}

TEST(FavoritesFileValidation, ListNamesAreLimitedInUserPerceivedCharactersAsStored) {
  const struct {
    const char* what;
    ClipboardFavoriteList list;
    bool valid;
  } cases[] = {
      {"40 letters", {"L", characters("a", 40)}, true},
      {"41 letters", {"L", characters("a", 41)}, false},
      {"40 letters after a space", {"L", " " + characters("a", 40)}, false},
      {"40 emoji with skin tones", {"L", characters(thumbsUpMediumSkin, 40)}, true},
      {"41 emoji with skin tones", {"L", characters(thumbsUpMediumSkin, 41)}, false},
      {"40 combined accents", {"L", characters(eWithCombiningAcute, 40)}, true},
      {"empty id", {"", "Work"}, false},
      {"blank name", {"L", QString::fromUtf8(" \t\u2028\xC2\x85")}, false},
      {"All Favorites in any case with spaces", {"L", "  aLL fAVORITES\n"}, false},
      {"All", {"L", "All"}, true},
      {"All Favorites 2", {"L", "All Favorites 2"}, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(messageOf([&] { c.list.validate(); }), c.valid ? QString() : listMessage) << c.what;
}

TEST(FavoritesFileValidation, FavoritesAreLimitedInUserPerceivedCharactersAsStored) {
  const struct {
    const char* what;
    ClipboardFavorite item;
    QString message;
  } cases[] = {
      {"100-letter name", {"A", characters("n", 100), "T"}, {}},
      {"101-letter name", {"A", characters("n", 101), "T"}, nameMessage},
      {"name of one emoji with a skin tone", {"A", thumbsUpMediumSkin, "T"}, {}},
      {"name of 100 combined accents", {"A", characters(eWithCombiningAcute, 100), "T"}, {}},
      {"name of 101 combined accents", {"A", characters(eWithCombiningAcute, 101), "T"}, nameMessage},
      {"empty id", {"", "N", "T"}, nameMessage},
      {"blank name", {"A", " \n", "T"}, nameMessage},
      {"blank name before blank text", {"A", " ", " "}, nameMessage},
      {"text of 100,000 characters", {"A", "N", characters("t", 100000)}, {}},
      {"text of 100,001 characters", {"A", "N", characters("t", 100001)}, textMessage},
      {"text of 100,000 emoji", {"A", "N", characters(thumbsUpMediumSkin, 100000)}, {}},
      {"text of 100,001 emoji", {"A", "N", characters(thumbsUpMediumSkin, 100001)}, textMessage},
      {"text of spaces and line breaks", {"A", "N", "  \r\n\t \u2029"}, textMessage},
      {"text with surrounding spaces", {"A", "N", "  x  "}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(messageOf([&] { c.item.validate(); }), c.message) << c.what;
}

TEST(FavoritesFileValidation, TheWholeFileIsCheckedInOrder) {
  const ClipboardFavorite inWork = favorite("A", "W");
  const ClipboardFavorite named101{"B", characters("n", 101), "T", "others"};
  const struct {
    const char* what;
    Lists lists;
    std::vector<ClipboardFavorite> items;
    QString message;
  } cases[] = {
      {"a sound file", {work, others}, {inWork, favorite("B")}, {}},
      {"two favorites with one id", {others}, {favorite("A"), favorite("A")}, unreadable},
      {"two lists with one id", {others, {"W", "Work"}, {"W", "Play"}}, {}, unreadable},
      {"names equal but for case and a trailing space", {others, work, {"X", "work "}}, {}, unreadable},
      {"names equal in composed and decomposed form",
       {others, {"X", QString::fromUtf8("Caf\xC3\xA9")}, {"Y", "Cafe" + QString::fromUtf8("\xCC\x81")}},
       {},
       unreadable},
      {"Work and Work 2", {others, work, {"X", "Work 2"}}, {}, {}},
      {"a duplicate before a bad list", {others, {"X", ""}, {"X", ""}}, {}, unreadable},
      {"a bad list before a bad favorite", {others, {"X", ""}}, {named101}, listMessage},
      {"a bad favorite before a missing list", {others}, {favorite("A", "gone"), named101}, nameMessage},
      {"a missing list", {others}, {favorite("A", "gone")}, missingListMessage},
  };
  for (const auto& c : cases) {
    const ClipboardFavoritesFile file{4, c.lists, c.items};
    EXPECT_EQ(messageOf([&] { file.validate(); }), c.message) << c.what;
    // Read from its bytes, the file is checked as it is read, to the same verdict.
    EXPECT_EQ(messageOf([&] { EXPECT_EQ(ClipboardFavoritesFile::decodeValidated(file.encoded()), file); }), c.message)
        << c.what;
  }
  ClipboardFavoritesFile older = ClipboardFavoritesFile::empty();
  older.version = 3;
  EXPECT_EQ(messageOf([&] { older.validate(); }), unreadable);
}

namespace {

/// The bytes the generic JSON encoder gives for the same file, which the file's own writer must match.
QByteArray genericallyEncoded(const ClipboardFavoritesFile& file) {
  QJsonArray lists;
  for (const ClipboardFavoriteList& list : file.lists) lists.append(QJsonObject{{"id", list.id}, {"name", list.name}});
  QJsonArray items;
  for (const ClipboardFavorite& item : file.items)
    items.append(QJsonObject{{"id", item.id}, {"name", item.name}, {"text", item.text}, {"listID", item.listID}});
  return pf::Json::encode(QJsonObject{{"version", 4}, {"lists", lists}, {"items", items}});
}

}  // namespace

TEST(FavoritesFileWriting, TheFileIsWrittenWithSortedKeysAndReadsBackExactly) {
  const QString awkward =
      QString::fromUtf8("line\r\nnbsp\xC2\xA0sep\u2028tab\tnul") + QChar(u'\0') + QStringLiteral("\"/\\ trailing  ");
  const ClipboardFavoritesFile file{4, {others, work}, {{"A", " Name ", awkward, "W"}}};
  const QByteArray bytes = file.encoded();
  EXPECT_EQ(pf::Json::parseObject(bytes).keys(), (QStringList{"items", "lists", "version"}));
  const QByteArray expectedStart =
      "{\n    \"items\": [\n        {\n            \"id\": \"A\",\n"
      "            \"listID\": \"W\",\n            \"name\": \" Name \",\n";
  EXPECT_TRUE(bytes.startsWith(expectedStart)) << bytes.toStdString();
  EXPECT_EQ(bytes, genericallyEncoded(file));
  EXPECT_EQ(ClipboardFavoritesFile::empty().encoded(), genericallyEncoded(ClipboardFavoritesFile::empty()));
  EXPECT_EQ(readFile(bytes), file);
  EXPECT_EQ(readFile(bytes).items[0].text, awkward);

  ClipboardFavoritesFile claimsOlder = file;
  claimsOlder.version = 2;
  EXPECT_EQ(claimsOlder.encoded(), bytes);
}

TEST(FavoritesFileWriting, OnlyOlderVersionsAreBackedUpUnderTheirNumber) {
  const struct {
    QByteArray json;
    qint64 stored;
    std::optional<QString> name;
  } cases[] = {
      {R"({"version":1,"items":[]})", 1, "clipboard-favorites.v1-backup.json"},
      {fileJSON(2, builtInListsJSON), 2, "clipboard-favorites.v2-backup.json"},
      {fileJSON(3, builtInListsJSON), 3, "clipboard-favorites.v3-backup.json"},
      {fileJSON(4, builtInListsJSON), 4, std::nullopt},
  };
  for (const auto& c : cases) {
    qint64 stored = 0;
    EXPECT_EQ(ClipboardFavoritesFile::decode(c.json, &stored).version, 4);
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(ClipboardFavoritesFile::backupName(stored), c.name) << stored;
  }
}

TEST(FavoritesFileModel, ListsAndFavoritesHaveTheirDefaults) {
  EXPECT_EQ(ClipboardFavoritesFile::empty(), (ClipboardFavoritesFile{4, builtIns, {}}));
  const ClipboardFavorite fresh{.name = "N", .text = "T"};
  EXPECT_EQ(fresh.listID, "others");
  EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$").match(fresh.id).hasMatch())
      << fresh.id.toStdString();
  EXPECT_NE(ClipboardFavorite{}.id, fresh.id);
  EXPECT_EQ(ClipboardFavoriteList::nameKey(QString::fromUtf8("\u3000 \xC4\xB0stanbul WORK\t")),
            QString::fromUtf8("i\xCC\x87stanbul work"));
}
