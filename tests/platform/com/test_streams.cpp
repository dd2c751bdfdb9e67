#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "platform/com/comptr.h"
#include "platform/com/file_stream.h"
#include "platform/com/memory_stream.h"
#include "platform/com/stream_util.h"
#include "tests/platform/com/runtime_test_support.h"

namespace {

using runtime_test::ScratchDirectory;

LARGE_INTEGER at(std::int64_t offset) { return LARGE_INTEGER{offset}; }

std::uint64_t seek(IStream* stream, std::int64_t offset, DWORD origin) {
    ULARGE_INTEGER position{};
    EXPECT_EQ(stream->Seek(at(offset), origin, &position), S_OK);
    return position.QuadPart;
}

void write(IStream* stream, std::string_view bytes) {
    ULONG written = 0;
    ASSERT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), S_OK);
    ASSERT_EQ(written, bytes.size());
}

std::uint64_t sizeOf(IStream* stream) {
    STATSTG stat{};
    EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.type, STGTY_STREAM);
    EXPECT_EQ(stat.pwcsName, nullptr);
    return stat.cbSize.QuadPart;
}

std::string contents(IStream* stream) {
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(com::readStreamBytes(stream, bytes), S_OK);
    return std::string(bytes.begin(), bytes.end());
}

// Both kinds of stream keep the same contract; each test runs on a fresh,
// empty, writable stream of either kind.
struct StreamKind {
    const char* name;
    std::function<com::ComPtr<IStream>(const ScratchDirectory&)> make;
};

void PrintTo(const StreamKind& kind, std::ostream* out) { *out << kind.name; }

class EveryStream : public testing::TestWithParam<StreamKind> {
protected:
    void SetUp() override {
        stream_ = GetParam().make(dir_);
        ASSERT_TRUE(stream_);
    }
    ScratchDirectory dir_;
    com::ComPtr<IStream> stream_;
};

TEST_P(EveryStream, ShortReadsReportWhatTheyGot) {
    write(stream_.get(), "hello");
    EXPECT_EQ(seek(stream_.get(), 0, STREAM_SEEK_SET), 0u);
    struct Step {
        ULONG asked;
        HRESULT expected;
        std::string got;
    };
    const Step steps[] = {
        {2, S_OK, "he"}, {10, S_FALSE, "llo"}, {4, S_FALSE, ""}, {0, S_OK, ""},
    };
    for (const Step& step : steps) {
        char buffer[16] = {};
        ULONG read = 99;
        EXPECT_EQ(stream_->Read(buffer, step.asked, &read), step.expected) << step.asked;
        EXPECT_EQ(std::string(buffer, read), step.got) << step.asked;
    }
}

TEST_P(EveryStream, SeekingPastTheEndThenWritingLeavesZeros) {
    write(stream_.get(), "ab");
    EXPECT_EQ(seek(stream_.get(), 3, STREAM_SEEK_END), 5u);
    char buffer[4];
    ULONG read = 99;
    EXPECT_EQ(stream_->Read(buffer, sizeof buffer, &read), S_FALSE);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(sizeOf(stream_.get()), 2u) << "seeking alone does not grow the stream";
    write(stream_.get(), "z");
    EXPECT_EQ(sizeOf(stream_.get()), 6u);
    EXPECT_EQ(contents(stream_.get()), std::string("ab\0\0\0z", 6));
}

TEST_P(EveryStream, SeekOriginsAndRefusedTargets) {
    write(stream_.get(), "0123456789");
    struct Case {
        std::int64_t offset;
        DWORD origin;
        HRESULT expected;
        std::uint64_t position;  // after the call
    };
    const Case cases[] = {
        {4, STREAM_SEEK_SET, S_OK, 4},         {2, STREAM_SEEK_CUR, S_OK, 6},
        {-1, STREAM_SEEK_END, S_OK, 9},        {-10, STREAM_SEEK_CUR, STG_E_INVALIDFUNCTION, 9},
        {-1, STREAM_SEEK_SET, STG_E_INVALIDFUNCTION, 9}, {0, 3, STG_E_INVALIDFUNCTION, 9},
        {-10, STREAM_SEEK_END, S_OK, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stream_->Seek(at(c.offset), c.origin, nullptr), c.expected) << c.offset << "/" << c.origin;
        EXPECT_EQ(seek(stream_.get(), 0, STREAM_SEEK_CUR), c.position) << c.offset << "/" << c.origin;
    }
}

TEST_P(EveryStream, SetSizeCutsOrGrowsAndKeepsThePosition) {
    write(stream_.get(), "abcdef");
    ASSERT_EQ(stream_->SetSize(ULARGE_INTEGER{3}), S_OK);
    EXPECT_EQ(sizeOf(stream_.get()), 3u);
    EXPECT_EQ(seek(stream_.get(), 0, STREAM_SEEK_CUR), 6u);
    ASSERT_EQ(stream_->SetSize(ULARGE_INTEGER{5}), S_OK);
    EXPECT_EQ(contents(stream_.get()), std::string("abc\0\0", 5));
}

TEST_P(EveryStream, CopyToMovesBothSeekPointers) {
    write(stream_.get(), "source bytes");
    seek(stream_.get(), 7, STREAM_SEEK_SET);
    com::ComPtr<IStream> target;
    ASSERT_EQ(com::createMemoryStream(target.put()), S_OK);
    write(target.get(), ">");
    ULARGE_INTEGER read{}, written{};
    ASSERT_EQ(stream_->CopyTo(target.get(), ULARGE_INTEGER{100}, &read, &written), S_OK);
    EXPECT_EQ(read.QuadPart, 5u);
    EXPECT_EQ(written.QuadPart, 5u);
    EXPECT_EQ(contents(target.get()), ">bytes");
    EXPECT_EQ(seek(stream_.get(), 0, STREAM_SEEK_CUR), 12u);
    EXPECT_EQ(stream_->CopyTo(nullptr, ULARGE_INTEGER{1}, nullptr, nullptr), E_POINTER);
}

TEST_P(EveryStream, NullArgumentsAndUnsupportedCalls) {
    EXPECT_EQ(stream_->Stat(nullptr, STATFLAG_DEFAULT), E_POINTER);
    EXPECT_EQ(stream_->Write(nullptr, 1, nullptr), E_POINTER);
    EXPECT_EQ(stream_->Read(nullptr, 1, nullptr), E_POINTER);
    EXPECT_EQ(stream_->LockRegion(ULARGE_INTEGER{0}, ULARGE_INTEGER{1}, 0), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream_->Commit(STGC_DEFAULT), S_OK);
    com::ComPtr<ISequentialStream> sequential = stream_.as<ISequentialStream>();
    EXPECT_TRUE(sequential);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EveryStream,
    testing::Values(StreamKind{"memory",
                               [](const ScratchDirectory&) {
                                   com::ComPtr<IStream> s;
                                   com::createMemoryStream(s.put());
                                   return s;
                               }},
                    StreamKind{"file", [](const ScratchDirectory& dir) {
                                   com::ComPtr<IStream> s;
                                   com::createFileStream(dir / "stream file", com::FileStreamMode::create, s.put());
                                   return s;
                               }}),
    [](const testing::TestParamInfo<StreamKind>& kind) { return std::string(kind.param.name); });

TEST(MemoryStream, StartsWithItsInitialBytesAndClonesShareThem) {
    const std::uint8_t initial[] = {'a', 'b', 'c'};
    com::ComPtr<IStream> stream;
    ASSERT_EQ(com::createMemoryStream(initial, stream.put()), S_OK);
    EXPECT_EQ(seek(stream.get(), 0, STREAM_SEEK_CUR), 0u);
    seek(stream.get(), 1, STREAM_SEEK_SET);
    com::ComPtr<IStream> clone;
    ASSERT_EQ(stream->Clone(clone.put()), S_OK);
    EXPECT_EQ(seek(clone.get(), 0, STREAM_SEEK_CUR), 1u) << "the clone starts at the original's position";
    write(clone.get(), "XY");
    EXPECT_EQ(seek(stream.get(), 0, STREAM_SEEK_CUR), 1u) << "positions are independent";
    EXPECT_EQ(contents(stream.get()), "aXY") << "the bytes are shared";
    ASSERT_EQ(clone->CopyTo(stream.get(), ULARGE_INTEGER{0}, nullptr, nullptr), S_OK);
}

TEST(MemoryStream, GrowthStopsAtTheSizeLimit) {
    com::ComPtr<IStream> stream;
    ASSERT_EQ(com::createMemoryStream(stream.put()), S_OK);
    EXPECT_EQ(stream->SetSize(ULARGE_INTEGER{com::kMaxMemoryStreamSize + 1}), STG_E_MEDIUMFULL);
    seek(stream.get(), static_cast<std::int64_t>(com::kMaxMemoryStreamSize), STREAM_SEEK_SET);
    ULONG written = 99;
    EXPECT_EQ(stream->Write("x", 1, &written), STG_E_MEDIUMFULL);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(sizeOf(stream.get()), 0u);
}

TEST(FileStream, WhatIsWrittenIsOnDiskAndStatNamesTheFile) {
    ScratchDirectory dir;
    const auto file = dir / "data set.bin";
    {
        com::ComPtr<IStream> stream;
        ASSERT_EQ(com::createFileStream(file, com::FileStreamMode::create, stream.put()), S_OK);
        write(stream.get(), "persisted");
        EXPECT_EQ(stream->Commit(STGC_DEFAULT), S_OK);
        STATSTG stat{};
        ASSERT_EQ(stream->Stat(&stat, STATFLAG_DEFAULT), S_OK);
        EXPECT_EQ(com::toUtf8(stat.pwcsName), "data set.bin");
        SysFreeString(stat.pwcsName);
    }
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "persisted");

    com::ComPtr<IStream> again;
    ASSERT_EQ(com::createFileStream(file, com::FileStreamMode::readWrite, again.put()), S_OK);
    EXPECT_EQ(contents(again.get()), "persisted") << "readWrite keeps the contents";
    com::ComPtr<IStream> emptied;
    ASSERT_EQ(com::createFileStream(file, com::FileStreamMode::create, emptied.put()), S_OK);
    EXPECT_EQ(sizeOf(emptied.get()), 0u) << "create empties an existing file";
}

TEST(FileStream, AReadOnlyStreamRefusesChanges) {
    ScratchDirectory dir;
    const auto file = dir / "read only";
    std::ofstream(file) << "fixed";
    com::ComPtr<IStream> stream;
    ASSERT_EQ(com::createFileStream(file, com::FileStreamMode::read, stream.put()), S_OK);
    ULONG written = 99;
    EXPECT_EQ(stream->Write("x", 1, &written), STG_E_ACCESSDENIED);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(stream->SetSize(ULARGE_INTEGER{0}), STG_E_ACCESSDENIED);
    EXPECT_EQ(contents(stream.get()), "fixed");
    com::ComPtr<IStream> clone;
    EXPECT_EQ(stream->Clone(clone.put()), E_NOTIMPL);
}

TEST(FileStream, OpeningFailuresTable) {
    ScratchDirectory dir;
    const std::pair<std::filesystem::path, com::FileStreamMode> missing[] = {
        {dir / "missing", com::FileStreamMode::read},
        {dir / "missing", com::FileStreamMode::readWrite},
        {dir / "no dir/file", com::FileStreamMode::create},
    };
    for (const auto& [path, mode] : missing) {
        com::ComPtr<IStream> stream;
        EXPECT_EQ(com::createFileStream(path, mode, stream.put()), STG_E_FILENOTFOUND) << path;
        EXPECT_FALSE(stream);
    }
    com::ComPtr<IStream> stream;
    EXPECT_EQ(com::createFileStream(dir.path(), com::FileStreamMode::read, stream.put()), STG_E_ACCESSDENIED);
    EXPECT_EQ(com::createFileStream(dir.path(), com::FileStreamMode::create, stream.put()), STG_E_ACCESSDENIED);
    EXPECT_EQ(com::createFileStream(dir / "x", com::FileStreamMode::create, nullptr), E_POINTER);
}

}  // namespace
