#include "platform/core/JsonReader.h"
#include "shortcuts/CatalogSupport.h"
#include "support/RawChoiceChecks.h"

#include <gtest/gtest.h>

using test::catalogOf;
using test::messageOf;

namespace {

QByteArray catalogText(const char* version, const char* shortcuts, const char* bookmarks = "{}") {
  return QByteArray("{\"schemaVersion\": ") + version + ", \"shortcuts\": [" + shortcuts +
         "], \"bookmarks\": " + bookmarks + "}";
}

const char* plain = R"({"id": "a", "label": "A", "kind": "web", "destination": "https://example.com/", "note": ""})";

Shortcut decodedOne(const char* object) { return ShortcutCatalog::decode(catalogText("2", object)).shortcuts.at(0); }

ShortcutCatalog richCatalog() {
  ShortcutCatalog catalog = catalogOf(3);
  catalog.shortcuts[0].icon = "custom-icon";
  catalog.shortcuts[1].group = "Work";
  catalog.shortcuts[1].kind = ShortcutKind::folder;
  catalog.shortcuts[1].destination = "/home/someone/Work Folder/sub";
  catalog.shortcuts[2].isActive = false;
  catalog.shortcuts[2].label = QString::fromUtf8("Caf\xc3\xa9 \xf0\x9f\x98\x80 \"quoted\" \\ tab\t");
  catalog.bookmarks["s1"] = QByteArray("\x00\x01\xfe\xff/+=", 7);
  catalog.bookmarks["zeta"] = "z";
  catalog.bookmarks["Alpha"] = "a";
  return catalog;
}

}  // namespace

TEST(CatalogDecoding, EveryKindRoundTripsThroughItsRawValue) { test::expectRawValuesRoundTrip<ShortcutKind>(); }

TEST(CatalogDecoding, VersionIsReadFirst) {
  // Version 3 is refused before the (broken) shortcuts are looked at.
  const auto error = test::catalogErrorOf([] { ShortcutCatalog::decode(catalogText("3", "42, \"x\"")); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind(), CatalogError::Case::version);
  EXPECT_EQ(error->versionNumber(), 3);
  EXPECT_EQ(test::catalogErrorOf([] { ShortcutCatalog::decode(R"({"schemaVersion": 0})"); })->versionNumber(), 0);

  const ShortcutCatalog old = ShortcutCatalog::decode(catalogText("1", plain));
  EXPECT_EQ(old.schemaVersion, 2);
  EXPECT_EQ(old.shortcuts.size(), 1u);

  for (const QByteArray& broken :
       {QByteArray("{"), QByteArray("[]"), QByteArray(R"({"shortcuts": []})"), QByteArray(R"({"schemaVersion": "2"})"),
        QByteArray(R"({"schemaVersion": 2.5})"), catalogText("2", plain, "[]"),
        QByteArray(R"({"schemaVersion": 2, "bookmarks": {}})")})
    EXPECT_THROW(ShortcutCatalog::decode(broken), pf::JsonError) << broken.toStdString();
}

TEST(CatalogDecoding, OptionalKeysAndDefaults) {
  const Shortcut absent = decodedOne(plain);
  EXPECT_TRUE(absent.isActive);
  EXPECT_FALSE(absent.icon);
  EXPECT_FALSE(absent.group);
  const Shortcut nulls = decodedOne(
      R"({"id": "a", "label": "A", "kind": "folder", "destination": "", "note": "n", "icon": null, "group": null,
          "isActive": null, "unknown": [1, 2]})");
  EXPECT_TRUE(nulls.isActive);
  EXPECT_FALSE(nulls.icon);
  EXPECT_EQ(nulls.kind, ShortcutKind::folder);
  EXPECT_FALSE(decodedOne(R"({"id": "a", "label": "A", "kind": "application", "destination": "", "note": "",
                              "isActive": false})")
                   .isActive);

  for (const char* bad : {R"({"id": "a", "label": "A", "kind": "web", "destination": ""})",
                          R"({"id": "a", "label": "A", "kind": "ftp", "destination": "", "note": ""})",
                          R"({"id": "a", "label": 5, "kind": "web", "destination": "", "note": ""})",
                          R"({"id": "a", "label": "A", "kind": "web", "destination": "", "note": "", "isActive": 1})",
                          R"({"id": "a", "label": "A", "kind": "web", "destination": "", "note": "", "icon": 7})"})
    EXPECT_THROW(decodedOne(bad), pf::JsonError) << bad;
  EXPECT_THROW(ShortcutCatalog::decode(catalogText("2", plain, R"({"a": "not base64!"})")), pf::JsonError);
}

TEST(CatalogDecoding, RulesApplyToDecodedFiles) {
  EXPECT_EQ(messageOf([] { ShortcutCatalog::decode(catalogText("2", (QByteArray(plain) + "," + plain).constData())); }),
            "Shortcut IDs must be unique letters, numbers, dashes or underscores.");
}

TEST(CatalogEncoding, StableSortedPrettyAndRoundTrips) {
  const ShortcutCatalog catalog = richCatalog();
  const QByteArray bytes = catalog.encoded();
  EXPECT_EQ(bytes, richCatalog().encoded());
  EXPECT_EQ(ShortcutCatalog::decode(bytes), catalog);
  EXPECT_EQ(ShortcutCatalog::decode(bytes).encoded(), bytes);

  EXPECT_TRUE(bytes.contains("\n    \"bookmarks\""));
  EXPECT_FALSE(bytes.contains("\\/"));
  EXPECT_TRUE(bytes.contains("/home/someone/Work Folder/sub"));
  EXPECT_TRUE(bytes.contains("\"AAH+/y8rPQ==\""));  // standard, padded Base64 with "+" and "/"
  EXPECT_LT(bytes.indexOf("\"Alpha\""), bytes.indexOf("\"s1\""));
  EXPECT_LT(bytes.indexOf("\"s1\""), bytes.indexOf("\"zeta\""));
  EXPECT_LT(bytes.indexOf("\"bookmarks\""), bytes.indexOf("\"schemaVersion\""));
  EXPECT_LT(bytes.indexOf("\"schemaVersion\""), bytes.indexOf("\"shortcuts\""));
  const QByteArray first = bytes.mid(bytes.indexOf("\"destination\""));
  EXPECT_LT(first.indexOf("\"destination\""), first.indexOf("\"icon\""));
  EXPECT_LT(first.indexOf("\"icon\""), first.indexOf("\"id\""));
  EXPECT_LT(first.indexOf("\"isActive\""), first.indexOf("\"kind\""));
  EXPECT_LT(first.indexOf("\"label\""), first.indexOf("\"note\""));
}

TEST(CatalogEncoding, AbsentIconAndGroupAreLeftOut) {
  const QJsonObject object = test::shortcut("a").json();
  EXPECT_FALSE(object.contains("icon"));
  EXPECT_FALSE(object.contains("group"));
  EXPECT_EQ(object.value("isActive"), true);
  EXPECT_EQ(object.value("kind"), "web");
  EXPECT_FALSE(catalogOf(1).encoded().contains("null"));
}

TEST(CatalogEncoding, InvalidCatalogIsNotEncoded) {
  ShortcutCatalog catalog = catalogOf(1);
  catalog.schemaVersion = 1;
  EXPECT_EQ(messageOf([&] { catalog.encoded(); }), CatalogError::version(1).errorDescription());
  catalog = catalogOf(1);
  catalog.bookmarks["bad key"] = "x";
  EXPECT_EQ(messageOf([&] { catalog.encoded(); }), "Invalid folder or application bookmark.");
}
