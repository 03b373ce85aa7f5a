// Page files: every command kind survives a write and a read byte for byte; the version, mask and
// kind rules; damaged files.
#include <gtest/gtest.h>

#include "engine/commands/command_factory.h"
#include "engine/commands/component_commands.h"
#include "engine/commands/flow_commands.h"
#include "engine/page.h"
#include "platform/kivo_error.h"
#include "script_builder.h"

namespace kivo {
namespace {

using testing::CompileInto;

std::vector<uint8_t> Bytes(const TPage& page) {
  TMemoryStream s;
  page.SaveToStream(s);
  return s.TakeBytes();
}

std::unique_ptr<TPage> Load(const std::vector<uint8_t>& bytes) {
  auto page = std::make_unique<TPage>();
  TMemoryStream s(bytes);
  page->LoadFromStream(s);
  EXPECT_EQ(s.Position(), s.Size());
  return page;
}

// A page holding one command of every kind, each with its head set and, for components, two
// properties from the page's masks.
std::unique_ptr<TPage> EveryKind(int32_t version) {
  auto page = std::make_unique<TPage>();
  page->SetVersion(version);
  page->SetResultType(1);
  for (int kind = 0; kind < kCommandKindCount; ++kind) {
    MaskSet(page->Mask(kind), PR_NAME);
    MaskSet(page->Mask(kind), PR_LEFT);
  }
  for (int kind = 0; kind < kCommandKindCount; ++kind) {
    std::unique_ptr<TCommand> c = CreateCommand(kind);
    c->Create(*page);
    c->SetHead(kind % 3, kind % 2 == 0, kind % 4 == 0, 100 + kind);
    if (auto* component = dynamic_cast<TComComponent*>(c.get())) CompileInto(*component->Property(PR_LEFT), "x + 1");
    if (auto* call = dynamic_cast<TComCall*>(c.get())) {
      call->page = "sub.ksb";
      call->arguments.push_back(std::make_unique<TExpr>());
      CompileInto(*call->arguments.back(), "\"a\" ++ b");
    }
    if (auto* wait = dynamic_cast<TComWait*>(c.get())) CompileInto(wait->time, "100");
    page->Add(std::move(c));
  }
  return page;
}

TEST(Page, EveryKindRoundTripsAtEachRecordGate) {
  for (int32_t version : {103, 105, 106, 107, 108, 110, 111, 116}) {
    std::vector<uint8_t> first = Bytes(*EveryKind(version));
    std::unique_ptr<TPage> back = Load(first);
    ASSERT_EQ(back->Count(), kCommandKindCount) << version;
    for (int kind = 0; kind < kCommandKindCount; ++kind) {
      EXPECT_EQ(back->Command(kind)->Kind(), kind);
      EXPECT_EQ(back->Command(kind)->Line(), 100 + kind);
      EXPECT_EQ(back->Command(kind)->Indent(), kind % 3);
    }
    EXPECT_EQ(Bytes(*back), first) << "version " << version;
  }
}

TEST(Page, OptionalFieldsFollowThePageVersion) {
  // A Wait carries its block-events expression only after version 106.
  auto sizeOfWait = [](int32_t version) {
    TPage page;
    page.SetVersion(version);
    page.Add(CreateCommand(CK_WAIT));
    return Bytes(page).size();
  };
  EXPECT_EQ(sizeOfWait(107), sizeOfWait(106) + 4);
}

// A hand-made page: version, result type, masks (count, size, records; the box kind's first byte is
// `fill`, its bytes past 21 are junk), then the commands.
std::vector<uint8_t> HandMade(int32_t version, int32_t maskCount, int32_t maskSize, uint8_t fill,
                              std::vector<uint8_t> commands, int32_t commandCount) {
  TMemoryStream s;
  TBinaryWriter w(s);
  w.Int32(version);
  w.Byte(0);
  w.Int32(maskCount);
  w.Int32(maskSize);
  for (int32_t k = 0; k < maskCount; ++k)
    for (int32_t b = 0; b < maskSize; ++b) w.Byte(k != CK_BOXNEW ? 0 : b >= 21 ? 0xEE : b == 0 ? fill : 0);
  w.Int32(commandCount);
  w.Bytes(commands.data(), static_cast<int64_t>(commands.size()));
  return s.TakeBytes();
}

std::vector<uint8_t> Head(uint8_t kind) { return {kind, 0, 0, 0, 0, 0, 1, 7, 0, 0, 0}; }

TEST(Page, MaskRecordsAndKindBytes) {
  // Mask size 25: 21 bytes used, 4 skipped. An all-zero mask: the component reads only its head.
  std::vector<uint8_t> box = Head(0x88);  // the high bit of the kind byte does not count
  auto page = Load(HandMade(116, 9, 25, 0, box, 1));
  ASSERT_EQ(page->Count(), 1);
  EXPECT_EQ(page->Command(0)->Kind(), CK_BOXNEW);
  EXPECT_EQ(page->Command(0)->Line(), 7);
  EXPECT_EQ(page->Mask(CK_BOXNEW), TPropertyMask{});

  // 62 mask records: the one for kind 61 is skipped.
  EXPECT_EQ(Load(HandMade(116, 62, 21, 0, {}, 0))->Count(), 0);

  // A mask with PR_NAME set: the box command reads one expression (an empty one: count 0).
  std::vector<uint8_t> boxWithName = Head(CK_BOXNEW);
  for (int i = 0; i < 4; ++i) boxWithName.push_back(0);
  auto named = Load(HandMade(116, 9, 21, 0x01, boxWithName, 1));
  auto* component = dynamic_cast<TComComponent*>(named->Command(0));
  ASSERT_NE(component, nullptr);
  EXPECT_NE(component->Property(PR_NAME), nullptr);
  EXPECT_EQ(component->Property(PR_SOURCE), nullptr);
}

TEST(Page, VersionRulesAndDamagedFiles) {
  TPage newer;
  TMemoryStream newerBytes(HandMade(117, 0, 21, 0, Head(CK_IF), 1));
  newer.LoadFromStream(newerBytes);
  EXPECT_EQ(newer.Count(), 0) << "a newer page is empty";

  TPage old;
  old.SetName("start.ksb");
  TMemoryStream oldBytes(HandMade(102, 0, 21, 0, {}, 0));
  try {
    old.LoadFromStream(oldBytes);
    FAIL();
  } catch (const ERebuildPage& e) {
    EXPECT_EQ(e.Text(), "start.ksb\r\n\x83\x8A\x83r\x83\x8B\x83h\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2");
  }

  TPage page;
  TMemoryStream badKind(HandMade(116, 0, 21, 0, Head(61), 1));
  try {
    page.LoadFromStream(badKind);
    FAIL();
  } catch (const EKivoError& e) {
    EXPECT_EQ(e.Message(), "\x95s\x90\xB3\x82\xC8\x83R\x83}\x83\x93\x83h");
  }

  std::vector<uint8_t> whole = Bytes(*EveryKind(116));
  for (size_t cut : {size_t{3}, size_t{20}, whole.size() / 2, whole.size() - 1}) {
    TMemoryStream part(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)));
    EXPECT_THROW(page.LoadFromStream(part), EKivoError) << cut;
  }
  TMemoryStream hugeCount(HandMade(116, 0, 21, 0, {}, 0x7FFFFFFF));
  EXPECT_THROW(page.LoadFromStream(hugeCount), EKivoError);
  TMemoryStream hugeMasks(HandMade(116, 0x40000000, 0, 0, {}, 0));
  EXPECT_NO_THROW(page.LoadFromStream(hugeMasks)) << "zero-size records take no bytes";
}

TEST(Page, LabelsAreFoundByNameButCommentsNever) {
  TPage page;
  auto comment = std::make_unique<TComComment>();
  comment->name = "target";
  page.Add(std::move(comment));
  auto label = std::make_unique<TComLabel>();
  label->name = "target";
  page.Add(std::move(label));
  EXPECT_EQ(page.IndexOfLabel("target"), 1);
  EXPECT_EQ(page.IndexOfLabel("Target"), -1) << "labels compare case-sensitively";
  EXPECT_TRUE(page.Command(0)->Disabled());
}

}  // namespace
}  // namespace kivo
