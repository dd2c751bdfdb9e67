// The frame's data-set files: a damaged or foreign file never reaches the
// DTM, and a save that cannot complete leaves the previous file whole.

#include "frame/data_set_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/com/file_io.h"
#include "platform/com/object.h"
#include "tests/frame/frame_test_support.h"

namespace {

constexpr CLSID kClass = com::makeGuid("8D96A00D-3623-451C-A11D-4B12BCD11232");

// A DTM's persistence as the frame sees it: Save writes `saved`, Load keeps
// what it was given.
class FakePersistence : public com::ComObjectRoot, public IPersistStreamInit {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<FakePersistence, IPersistStreamInit>()};
        return table;
    }
    HRESULT GetClassID(CLSID* id) override {
        *id = classId;
        return S_OK;
    }
    HRESULT IsDirty() override { return S_FALSE; }
    HRESULT Load(IStream* stream) override {
        ++loads;
        loaded.clear();
        std::uint8_t chunk[64];
        ULONG read = 0;
        while (SUCCEEDED(stream->Read(chunk, sizeof chunk, &read)) && read > 0)
            loaded.insert(loaded.end(), chunk, chunk + read);
        return S_OK;
    }
    HRESULT Save(IStream* stream, BOOL) override {
        if (!saved.empty()) stream->Write(saved.data(), static_cast<ULONG>(saved.size()), nullptr);
        return saveResult;
    }
    HRESULT GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT InitNew() override { return S_OK; }

    CLSID classId = kClass;
    std::vector<std::uint8_t> saved;
    HRESULT saveResult = S_OK;
    std::vector<std::uint8_t> loaded;
    int loads = 0;
};

// The stream form of a text: length, UTF-16LE, terminating zero.
std::vector<std::uint8_t> streamOf(const std::u16string& text) {
    const std::uint32_t n = text.empty() ? 0 : static_cast<std::uint32_t>(2 * text.size() + 2);
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                                    static_cast<std::uint8_t>(n >> 16),
                                    static_cast<std::uint8_t>(n >> 24)};
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    if (n) bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

class DataSetFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(com::ComInstance<FakePersistence>::create(nullptr, IUnknown::iid, dtm.putVoid()),
                  S_OK);
        fake = static_cast<FakePersistence*>(dtm.as<IPersistStreamInit>().get());
        dir = std::filesystem::temp_directory_path() /
              ("frame-dataset-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        file = dir / "set.dataset";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void write(const std::filesystem::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    com::ComPtr<IUnknown> dtm;
    FakePersistence* fake = nullptr;
    std::filesystem::path dir, file;
};

TEST_F(DataSetFileTest, SavedDataSetLoadsBackUnchanged) {
    fake->saved = streamOf(u"[tag=PV-101][dataSetState=allDataLoaded][1031198652=DEMO RUN]");
    ASSERT_TRUE(frame::saveDataSet(*dtm.get(), file));
    EXPECT_TRUE(read(file).starts_with(
        "hartdtm data set 1\nclass {8D96A00D-3623-451C-A11D-4B12BCD11232}\n"));
    const com::Status loaded = frame::loadDataSet(*dtm.get(), file);
    ASSERT_TRUE(loaded) << loaded.reason;
    EXPECT_EQ(fake->loaded, fake->saved);

    fake->saved = streamOf(u"");  // an empty data set is a valid one
    ASSERT_TRUE(frame::saveDataSet(*dtm.get(), file));
    ASSERT_TRUE(frame::loadDataSet(*dtm.get(), file));
    EXPECT_EQ(fake->loaded, (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST_F(DataSetFileTest, DamagedFilesAreReportedAndNeverReachTheDtm) {
    fake->saved = streamOf(u"[tag=PV-101][1031198652=DEMO RUN]");
    ASSERT_TRUE(frame::saveDataSet(*dtm.get(), file));
    const std::string good = read(file);
    const std::size_t body = good.size() - fake->saved.size();

    std::string flipped = good;
    flipped[body + 10] ^= 0x01;
    std::string badLength = good;
    badLength[body] = static_cast<char>(badLength[body] + 2);
    const struct {
        const char* what;
        std::string text;
        const char* reason;
    } cases[] = {
        {"empty", "", "not a data-set file"},
        {"another format", "[tag=PV-101]\n", "not a data-set file"},
        {"cut short", good.substr(0, good.size() - 3), "data-set bytes"},
        {"trailing bytes", good + "x", "data-set bytes"},
        {"one bit changed", flipped, "checksum"},
        {"no class", "hartdtm data set 1\nbytes 4 crc32 2144DF1C\n", "class"},
        {"bad size line",
         "hartdtm data set 1\nclass {8D96A00D-3623-451C-A11D-4B12BCD11232}\nbytes x crc32 0\n",
         "size line"},
    };
    for (const auto& c : cases) {
        write(file, c.text);
        const com::Status status = frame::loadDataSet(*dtm.get(), file);
        EXPECT_FALSE(status) << c.what;
        EXPECT_NE(status.reason.find(c.reason), std::string::npos)
            << c.what << ": " << status.reason;
    }
    // A checksum that matches a stream whose own length field lies.
    frame::DataSetImage lying;
    lying.classId = kClass;
    lying.stream =
        std::vector<std::uint8_t>(badLength.begin() + static_cast<long>(body), badLength.end());
    write(file, frame::formatDataSetFile(lying));
    EXPECT_NE(frame::loadDataSet(*dtm.get(), file).reason.find("length field"), std::string::npos);
    EXPECT_EQ(fake->loads, 0);
}

TEST_F(DataSetFileTest, AFileOfAnotherClassIsRefused) {
    fake->saved = streamOf(u"[tag=X]");
    ASSERT_TRUE(frame::saveDataSet(*dtm.get(), file));
    fake->classId = com::makeGuid("477DE2EB-8FED-4E0F-9266-44794DAF7E77");
    const com::Status status = frame::loadDataSet(*dtm.get(), file);
    EXPECT_FALSE(status);
    EXPECT_NE(status.reason.find("{477DE2EB"), std::string::npos) << status.reason;
    EXPECT_EQ(fake->loads, 0);
}

TEST_F(DataSetFileTest, ASaveThatCannotCompleteLeavesTheOldFileWhole) {
    fake->saved = streamOf(u"[tag=OLD]");
    ASSERT_TRUE(frame::saveDataSet(*dtm.get(), file));
    const std::string old = read(file);

    fake->saved.clear();  // the DTM writes nothing: its lock was refused
    EXPECT_FALSE(frame::saveDataSet(*dtm.get(), file));
    fake->saved = streamOf(u"[tag=NEW]");
    fake->saveResult = E_FAIL;
    EXPECT_FALSE(frame::saveDataSet(*dtm.get(), file));
    fake->saveResult = S_OK;
    fake->saved.resize(fake->saved.size() - 1);  // malformed stream
    EXPECT_FALSE(frame::saveDataSet(*dtm.get(), file));
    fake->saved = streamOf(u"[tag=NEW]");
    EXPECT_FALSE(frame::saveDataSet(*dtm.get(), file / "inside-a-file"))
        << "the target cannot be written";
    EXPECT_EQ(read(file), old);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++entries;
    EXPECT_EQ(entries, 1u) << "no temporary file is left behind";
}

}  // namespace
