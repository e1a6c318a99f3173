// Version blocks with damaged lengths, keys and values: every query either finds
// a value lying wholly inside the prepared buffer or reports nothing.

#include "platform/verres/utf16.h"
#include "platform/verres/versionblock.h"
#include "platform/verres/versionblockwriter.h"
#include "platform/verres/winver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t NodeHeaderBytes = 6;
constexpr uint16_t UkEnglish = 0x0809;
constexpr uint16_t WesternEuropean = 0x04E4;
const char* const CompanyPath = "\\StringFileInfo\\080904E4\\CompanyName";
const char* const DescriptionPath = "\\StringFileInfo\\080904E4\\FileDescription";
const char* const ProductPath = "\\StringFileInfo\\080904E4\\ProductName";
const char* const TranslationPath = "\\VarFileInfo\\Translation";
const char* const AllPaths[] = {"\\", CompanyPath, DescriptionPath, ProductPath, TranslationPath,
                                "\\VarFileInfo", "\\StringFileInfo\\080904E4", ""};

TVersionResource SampleResource()
{
    TVersionResource resource;
    resource.Fixed = TVersionBlockWriter::MakeFixed(0x00010001, 0x00000002, 0x00030000, 0x00000004);
    resource.Tables.push_back({"080904E4", {{"CompanyName", "Tamsvik"}, {"FileDescription", "Level meter"},
                                            {"ProductName", "Quimbrel"}}});
    resource.Translations = {{UkEnglish, WesternEuropean}};
    return resource;
}

// Offset of the node whose key is Key (the first match).
size_t NodeOffset(const std::vector<uint8_t>& Block, const std::string& Key)
{
    std::vector<uint8_t> key = Utf8ToUtf16Le(Key);
    key.insert(key.end(), 2, 0);
    const auto at = std::search(Block.begin(), Block.end(), key.begin(), key.end());
    EXPECT_NE(at, Block.end()) << Key;
    return static_cast<size_t>(at - Block.begin()) - NodeHeaderBytes;
}

void PutWord(std::vector<uint8_t>& Block, size_t At, uint16_t Value)
{
    Block[At] = static_cast<uint8_t>(Value & 0xFF);
    Block[At + 1] = static_cast<uint8_t>(Value >> 8);
}

// A raw block prepared for queries into a buffer of exactly the needed size.
class TPrepared {
public:
    explicit TPrepared(const std::vector<uint8_t>& Raw)
    {
        const uint32_t size = GetVersionInfoSizeFromBlock(Raw.data(), static_cast<uint32_t>(Raw.size()));
        FData.resize(size);
        FOk = size > 0 && GetVersionInfoFromBlock(Raw.data(), static_cast<uint32_t>(Raw.size()), size, FData.data());
    }

    bool Ok() const { return FOk; }

    // The value at Path, checked to lie inside the buffer; nothing when not found.
    std::optional<std::vector<uint8_t>> Query(const std::string& Path)
    {
        void* value = nullptr;
        uint32_t length = 0;
        if (!VerQueryValue(FData.data(), Path, &value, &length)) {
            EXPECT_EQ(value, nullptr);
            EXPECT_EQ(length, 0u);
            return std::nullopt;
        }
        const auto* begin = static_cast<const uint8_t*>(value);
        EXPECT_TRUE(begin >= FData.data() && length <= static_cast<size_t>(FData.data() + FData.size() - begin))
            << Path << " points outside the buffer";
        if (begin < FData.data() || length > static_cast<size_t>(FData.data() + FData.size() - begin))
            return std::nullopt;
        return std::vector<uint8_t>(begin, begin + length);
    }

    std::string Text(const std::string& Path)
    {
        const auto value = Query(Path);
        if (!value)
            return "<not found>";
        EXPECT_FALSE(value->empty());
        EXPECT_EQ(value->back(), 0) << Path << " is not NUL-terminated";
        return std::string(reinterpret_cast<const char*>(value->data()));
    }

private:
    std::vector<uint8_t> FData;
    bool FOk = false;
};

TEST(VersionBlockTest, WellFormedBlockReadsBack)
{
    TPrepared block(TVersionBlockWriter::Build(SampleResource()));
    ASSERT_TRUE(block.Ok());
    EXPECT_EQ(block.Text(CompanyPath), "Tamsvik");
    EXPECT_EQ(block.Text(DescriptionPath), "Level meter");
    EXPECT_EQ(block.Text("stringfileinfo\\080904e4\\productname"), "Quimbrel");
    const auto fixed = block.Query("\\");
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->size(), sizeof(VS_FIXEDFILEINFO));
    const auto translation = block.Query(TranslationPath);
    ASSERT_TRUE(translation);
    EXPECT_EQ(*translation, (std::vector<uint8_t>{0x09, 0x08, 0xE4, 0x04}));
}

TEST(VersionBlockTest, RootLongerThanTheDataIsRefused)
{
    std::vector<uint8_t> raw = TVersionBlockWriter::Build(SampleResource());
    raw.pop_back();
    EXPECT_EQ(GetVersionInfoSizeFromBlock(raw.data(), static_cast<uint32_t>(raw.size())), 0u);
}

TEST(VersionBlockTest, TooShortOrMissingRootIsRefused)
{
    std::vector<uint8_t> raw = TVersionBlockWriter::Build(SampleResource());
    EXPECT_EQ(GetVersionInfoSizeFromBlock(nullptr, 100), 0u);
    EXPECT_EQ(GetVersionInfoSizeFromBlock(raw.data(), 1), 0u);
    PutWord(raw, 0, NodeHeaderBytes - 1);
    EXPECT_EQ(GetVersionInfoSizeFromBlock(raw.data(), static_cast<uint32_t>(raw.size())), 0u);
}

TEST(VersionBlockTest, ChildReachingPastItsParentEndsTheWalk)
{
    std::vector<uint8_t> raw = TVersionBlockWriter::Build(SampleResource());
    PutWord(raw, NodeOffset(raw, "FileDescription"), 0x7FFF);
    TPrepared block(raw);
    ASSERT_TRUE(block.Ok());
    EXPECT_EQ(block.Text(CompanyPath), "Tamsvik");
    EXPECT_EQ(block.Text(DescriptionPath), "<not found>");
    EXPECT_EQ(block.Text(ProductPath), "<not found>");
    EXPECT_TRUE(block.Query(TranslationPath));  // outside the damaged table
}

TEST(VersionBlockTest, ZeroLengthChildEndsTheWalk)
{
    std::vector<uint8_t> raw = TVersionBlockWriter::Build(SampleResource());
    PutWord(raw, NodeOffset(raw, "FileDescription"), 0);
    TPrepared block(raw);
    EXPECT_EQ(block.Text(CompanyPath), "Tamsvik");
    EXPECT_EQ(block.Text(ProductPath), "<not found>");
}

TEST(VersionBlockTest, KeyWithoutNulIsNotFound)
{
    std::vector<uint8_t> raw = TVersionBlockWriter::Build(SampleResource());
    const size_t node = NodeOffset(raw, "ProductName");  // the last string: its node ends the table
    const size_t end = node + (raw[node] | (raw[node + 1] << 8));
    std::fill(raw.begin() + static_cast<long>(node + NodeHeaderBytes), raw.begin() + static_cast<long>(end), 'A');
    TPrepared block(raw);
    EXPECT_EQ(block.Text(CompanyPath), "Tamsvik");
    EXPECT_EQ(block.Text(ProductPath), "<not found>");
}

TEST(VersionBlockTest, TextWithoutNulIsNotFound)
{
    std::vector<uint8_t> raw = TVersionBlockWriter::Build(SampleResource());
    const size_t node = NodeOffset(raw, "ProductName");
    const size_t end = node + (raw[node] | (raw[node + 1] << 8));
    PutWord(raw, end - 2, 'x');  // the value's NUL, the node's last unit
    TPrepared block(raw);
    EXPECT_EQ(block.Text(CompanyPath), "Tamsvik");
    EXPECT_EQ(block.Text(ProductPath), "<not found>");
}

TEST(VersionBlockTest, ValueLongerThanItsNodeIsNotFound)
{
    std::vector<uint8_t> raw = TVersionBlockWriter::Build(SampleResource());
    PutWord(raw, NodeOffset(raw, "Translation") + 2, 0x100);
    PutWord(raw, NodeOffset(raw, "CompanyName") + 2, 0x100);
    TPrepared block(raw);
    EXPECT_FALSE(block.Query(TranslationPath));
    EXPECT_EQ(block.Text(CompanyPath), "<not found>");
}

TEST(VersionBlockTest, MissingOrShortFixedRecordIsNotFound)
{
    TVersionResource resource = SampleResource();
    resource.Fixed.reset();
    TPrepared missing(TVersionBlockWriter::Build(resource));
    EXPECT_FALSE(missing.Query("\\"));
    EXPECT_EQ(missing.Text(CompanyPath), "Tamsvik");

    TVersionBlockWriter writer;
    writer.BeginBinary("VS_VERSION_INFO", std::vector<uint8_t>(sizeof(VS_FIXEDFILEINFO) - 4, 0));
    writer.EndNode();
    TPrepared shortRecord(writer.Bytes());
    ASSERT_TRUE(shortRecord.Ok());
    EXPECT_FALSE(shortRecord.Query("\\"));
}

TEST(VersionBlockTest, ShortTranslationValueIsGivenWithItsLength)
{
    TVersionBlockWriter writer;
    writer.BeginBinary("VS_VERSION_INFO", TVersionBlockWriter::FixedBytes(TVersionBlockWriter::MakeFixed(1, 0, 1, 0)));
    writer.BeginGroup("VarFileInfo");
    writer.AddBinary("Translation", {0x09, 0x08});
    writer.EndNode();
    writer.EndNode();
    TPrepared block(writer.Bytes());
    const auto translation = block.Query(TranslationPath);
    ASSERT_TRUE(translation);
    EXPECT_EQ(translation->size(), 2u);
}

TEST(VersionBlockTest, NoVarFileInfoMeansNoTranslation)
{
    TVersionResource resource = SampleResource();
    resource.Translations.reset();
    TPrepared block(TVersionBlockWriter::Build(resource));
    EXPECT_FALSE(block.Query(TranslationPath));
    EXPECT_EQ(block.Text(CompanyPath), "Tamsvik");
}

TEST(VersionBlockTest, TooSmallBufferIsZeroFilledAndQueriesFail)
{
    const std::vector<uint8_t> raw = TVersionBlockWriter::Build(SampleResource());
    const uint32_t size = GetVersionInfoSizeFromBlock(raw.data(), static_cast<uint32_t>(raw.size()));
    std::vector<uint8_t> data(size - 1, 0xCC);
    EXPECT_FALSE(GetVersionInfoFromBlock(raw.data(), static_cast<uint32_t>(raw.size()), size - 1, data.data()));
    EXPECT_TRUE(std::all_of(data.begin(), data.end(), [](uint8_t b) { return b == 0; }));
    void* value = nullptr;
    uint32_t length = 0;
    EXPECT_FALSE(VerQueryValue(data.data(), "\\", &value, &length));
}

TEST(VersionBlockTest, NullArgumentsAreRefused)
{
    TPrepared block(TVersionBlockWriter::Build(SampleResource()));
    void* value = nullptr;
    EXPECT_FALSE(VerQueryValue(nullptr, "\\", &value, nullptr));
    const std::vector<uint8_t> raw = TVersionBlockWriter::Build(SampleResource());
    EXPECT_FALSE(GetVersionInfoFromBlock(raw.data(), static_cast<uint32_t>(raw.size()), 4096, nullptr));
}

// Where in the well-formed block each query's answer is settled: a damaged byte
// at or past DecidedBy cannot change it, and a cut there keeps it whole.
struct TPathSpan {
    const char* Path;
    uint32_t DecidedBy; // the node's end, or for the root the end of its fixed record
    uint32_t KeptBy;    // a cut at or past this keeps the whole path: its outermost node's end
};

std::vector<TPathSpan> PathSpans(const std::vector<uint8_t>& Good)
{
    const TVersionBlock block(Good.data(), static_cast<uint32_t>(Good.size()));
    const auto root = block.Root();
    EXPECT_TRUE(root);
    std::vector<TPathSpan> spans;
    for (const char* path : AllPaths) {
        const auto names = TVersionBlock::SplitPath(path);
        const auto node = block.Find(path);
        EXPECT_TRUE(node) << path;
        if (!root || !node)
            continue;
        if (names.empty()) {
            const uint32_t fixedEnd = root->ValueOffset + root->ValueBytes;
            spans.push_back({path, fixedEnd, fixedEnd});
        } else {
            const auto outermost = block.Find(names.front());
            spans.push_back({path, node->End, outermost->End});
        }
    }
    return spans;
}

// Every single byte of the block replaced by a few telling values: each query
// stays inside the buffer, and one whose nodes lie before the damage reads
// exactly as in the well-formed block.
TEST(VersionBlockTest, DamageAnywhereStaysInsideTheBuffer)
{
    const std::vector<uint8_t> good = TVersionBlockWriter::Build(SampleResource());
    TPrepared goodBlock(good);
    const std::vector<TPathSpan> spans = PathSpans(good);
    ASSERT_EQ(spans.size(), std::size(AllPaths));
    const uint8_t damages[] = {0x00, 0x01, 0x7F, 0xFF};
    size_t untouchedAnswers = 0;
    for (size_t at = 0; at < good.size(); ++at) {
        for (uint8_t damage : damages) {
            std::vector<uint8_t> raw = good;
            raw[at] = damage;
            TPrepared block(raw);
            for (const TPathSpan& span : spans) {
                const auto value = block.Query(span.Path);
                if (at < span.DecidedBy)
                    continue;
                EXPECT_EQ(value, goodBlock.Query(span.Path)) << span.Path << ", byte " << at << " = " << int(damage);
                ++untouchedAnswers;
            }
        }
    }
    EXPECT_GT(untouchedAnswers, good.size()) << "most damage lies past some of the queried nodes";
}

// A block cut short at every length, with its root length saying so: a query
// whose nodes all end by the cut reads as before, any other finds nothing.
TEST(VersionBlockTest, TruncationAnywhereStaysInsideTheBuffer)
{
    const std::vector<uint8_t> good = TVersionBlockWriter::Build(SampleResource());
    TPrepared goodBlock(good);
    const std::vector<TPathSpan> spans = PathSpans(good);
    ASSERT_EQ(spans.size(), std::size(AllPaths));
    size_t keptAnswers = 0;
    for (size_t length = NodeHeaderBytes; length < good.size(); ++length) {
        std::vector<uint8_t> raw(good.begin(), good.begin() + static_cast<long>(length));
        PutWord(raw, 0, static_cast<uint16_t>(length));
        TPrepared block(raw);
        for (const TPathSpan& span : spans) {
            const auto value = block.Query(span.Path);
            if (length >= span.KeptBy) {
                EXPECT_EQ(value, goodBlock.Query(span.Path)) << span.Path << " cut at " << length;
                keptAnswers += value.has_value();
            } else {
                EXPECT_FALSE(value) << span.Path << " cut at " << length;
            }
        }
    }
    EXPECT_GT(keptAnswers, 0u) << "some cuts keep whole nodes";
}

} // namespace
