#include <vector>

#include "engine/dtm/data_set_stream.h"
#include "platform/com/memory_stream.h"
#include "platform/com/property_bag.h"
#include "tests/engine/dtm/dtm_fixture.h"

namespace dtm_test {
namespace {

com::ComPtr<IStream> memoryStream(const std::vector<std::uint8_t>& bytes = {}) {
    com::ComPtr<IStream> stream;
    EXPECT_EQ(com::createMemoryStream(bytes, stream.put()), S_OK);
    return stream;
}

// The whole content of a stream, from its start.
std::vector<std::uint8_t> contents(IStream& stream) {
    LARGE_INTEGER zero{0};
    stream.Seek(zero, STREAM_SEEK_SET, nullptr);
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[256];
    ULONG read = 0;
    while (SUCCEEDED(stream.Read(buffer, sizeof buffer, &read)) && read > 0) bytes.insert(bytes.end(), buffer, buffer + read);
    return bytes;
}

void rewind(IStream& stream) {
    LARGE_INTEGER zero{0};
    stream.Seek(zero, STREAM_SEEK_SET, nullptr);
}

std::vector<std::uint8_t> streamBytes(const std::u16string& text, std::uint32_t count) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(count >> (8 * i)));
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

TEST(DataSetStream, WritesCountTextAndTerminatingZero) {
    auto stream = memoryStream();
    ASSERT_EQ(engine::writeDataSetStream(*stream.get(), "[tag=\xC3\xBC]"), S_OK);
    const std::vector<std::uint8_t> expected = {16, 0, 0, 0, '[', 0, 't', 0, 'a', 0, 'g', 0, '=', 0, 0xFC, 0, ']', 0, 0, 0};
    EXPECT_EQ(contents(*stream.get()), expected);
}

TEST(DataSetStream, ReadsBackAndRefusesShortOrOddInput) {
    auto good = memoryStream(streamBytes(std::u16string(u"[tag=A]\0", 8), 16));
    auto read = engine::readDataSetStream(*good.get());
    EXPECT_EQ(read.result, S_OK);
    EXPECT_EQ(read.text, "[tag=A]");

    auto empty = memoryStream(streamBytes(u"", 0));
    read = engine::readDataSetStream(*empty.get());
    EXPECT_EQ(read.result, S_OK);
    EXPECT_EQ(read.text, "");

    auto noCount = memoryStream({1, 0});
    EXPECT_EQ(engine::readDataSetStream(*noCount.get()).result, E_FAIL);
    auto shortText = memoryStream(streamBytes(u"[ta", 16));
    EXPECT_EQ(engine::readDataSetStream(*shortText.get()).result, E_FAIL);
    auto odd = memoryStream(streamBytes(u"[t", 3));
    EXPECT_EQ(engine::readDataSetStream(*odd.get()).result, E_FAIL);
    auto huge = memoryStream(streamBytes(u"", 0xFFFFFFF0u));
    EXPECT_EQ(engine::readDataSetStream(*huge.get()).result, E_OUTOFMEMORY);
}

class DtmPersistence : public DtmFixture {
protected:
    std::vector<std::uint8_t> saveToStream(BOOL clearDirty = TRUE) {
        auto stream = memoryStream();
        EXPECT_EQ(dtm.as<IPersistStreamInit>()->Save(stream.get(), clearDirty), S_OK);
        return contents(*stream.get());
    }
};

TEST_F(DtmPersistence, SaveWritesTheDataSetTextUnderTheLock) {
    configured();
    setValue(102, "hello");
    EXPECT_EQ(dtm.as<IPersistStreamInit>()->IsDirty(), S_OK);
    const auto bytes = saveToStream();
    auto stream = memoryStream(bytes);
    const auto read = engine::readDataSetStream(*stream.get());
    ASSERT_EQ(read.result, S_OK);
    EXPECT_EQ(read.text.rfind("[tag=LT100][dataSetState=validModified]", 0), 0u) << read.text;
    EXPECT_NE(read.text.find("[102=hello]"), std::string::npos) << read.text;
    EXPECT_NE(read.text.find("[100=12.5000000000]"), std::string::npos) << read.text;
    EXPECT_EQ(dtm.as<IPersistStreamInit>()->IsDirty(), S_FALSE);
    EXPECT_EQ(frame->count("LockDataSet DTM-1"), 1);
    EXPECT_EQ(frame->count("UnlockDataSet DTM-1"), 1);
    EXPECT_FALSE(object->dataSetLocked());
    EXPECT_EQ(frame->count("OnParametersChanged DTM-1 "), 1) << "the changed items are reported";
    EXPECT_NE(frame->log.back().find("[102=hello]"), std::string::npos) << frame->log.back();
}

TEST_F(DtmPersistence, SaveWithoutLockOrModelFailsAndWritesNothing) {
    // Before Environment a loaded data set waits for the model: a save then
    // must fail rather than write an empty data set.
    ASSERT_EQ(bind(), S_OK);
    auto loaded = memoryStream();
    engine::writeDataSetStream(*loaded.get(), "[102=kept]");
    rewind(*loaded.get());
    ASSERT_EQ(dtm.as<IPersistStreamInit>()->Load(loaded.get()), S_OK);
    auto early = memoryStream();
    EXPECT_EQ(dtm.as<IPersistStreamInit>()->Save(early.get(), TRUE), E_UNEXPECTED);
    EXPECT_TRUE(contents(*early.get()).empty());
    ASSERT_EQ(environment(), VARIANT_TRUE);
    EXPECT_EQ(value(102), "kept");

    ASSERT_EQ(config("maintenance"), VARIANT_TRUE);
    setValue(102, "hello");
    frame->grantLock = false;
    auto stream = memoryStream();
    EXPECT_EQ(dtm.as<IPersistStreamInit>()->Save(stream.get(), TRUE), E_ACCESSDENIED);
    com::ComPtr<IPropertyBag> bag;
    ASSERT_EQ(com::createPropertyBag(bag.put()), S_OK);
    EXPECT_EQ(dtm.as<IPersistPropertyBag>()->Save(bag.get(), TRUE, TRUE), E_ACCESSDENIED);
    EXPECT_TRUE(contents(*stream.get()).empty()) << "the stream stays untouched";
    EXPECT_EQ(dtm.as<IPersistStreamInit>()->IsDirty(), S_OK) << "dirty is unchanged";
    EXPECT_EQ(frame->count("OnParametersChanged"), 0);
}

TEST_F(DtmPersistence, LoadAfterEnvironmentChangesNothing) {
    configured();
    setValue(102, "hello");
    auto stream = memoryStream();
    engine::writeDataSetStream(*stream.get(), "[102=other]");
    for (const engine::DtmState state : {engine::kConfigured, engine::kReleased}) {
        rewind(*stream.get());
        EXPECT_EQ(dtm.as<IPersistStreamInit>()->Load(stream.get()), E_UNEXPECTED);
        com::ComPtr<IPropertyBag> bag;
        ASSERT_EQ(com::createPropertyBag(bag.put()), S_OK);
        EXPECT_EQ(dtm.as<IPersistPropertyBag>()->Load(bag.get(), nullptr), E_UNEXPECTED);
        EXPECT_EQ(object->state(), state);
        if (state == engine::kConfigured) {
            EXPECT_EQ(value(102), "hello");
            EXPECT_EQ(dtm.as<IPersistStreamInit>()->IsDirty(), S_OK);
            VARIANT_BOOL ok = 0;
            ASSERT_EQ(dtm->PrepareToRelease(&ok), S_OK);
            ASSERT_EQ(ok, VARIANT_TRUE);
        }
    }
}

TEST_F(DtmPersistence, SaveWithOpenApplicationsRelocksAtOnce) {
    configured();
    ASSERT_EQ(priv->OnApplicationOpened(text("view-1").get(), text("1").get()), S_OK);
    saveToStream();
    EXPECT_EQ(frame->count("LockDataSet"), 2);
    EXPECT_EQ(frame->count("UnlockDataSet"), 1);
    EXPECT_TRUE(object->dataSetLocked());
}

TEST_F(DtmPersistence, StreamOfLengthZeroLoadsAnEmptyDataSet) {
    ASSERT_EQ(bind(), S_OK);
    auto stream = memoryStream(streamBytes(u"", 0));
    ASSERT_EQ(dtm.as<IPersistStreamInit>()->Load(stream.get()), S_OK);
    EXPECT_EQ(object->state(), engine::kLoaded);
    ASSERT_EQ(environment(), VARIANT_TRUE);
    EXPECT_EQ(object->state(), engine::kInitialized) << "Environment after Load moves straight to 4";
    EXPECT_EQ(initNew(), VARIANT_FALSE);
    EXPECT_EQ(object->deviceObject().dataSetState(), "default");
}

TEST_F(DtmPersistence, ShortStreamChangesNothing) {
    ASSERT_EQ(bind(), S_OK);
    auto stream = memoryStream(streamBytes(u"[tag=X]", 40));
    EXPECT_EQ(dtm.as<IPersistStreamInit>()->Load(stream.get()), E_FAIL);
    EXPECT_EQ(object->state(), engine::kCreated);
}

TEST_F(DtmPersistence, DataSetItemsAppliedAfterTheModelExists) {
    ASSERT_EQ(bind(), S_OK);
    auto stream = memoryStream();
    engine::writeDataSetStream(*stream.get(), "[=x][x][12x=3][tag=][dataSetState=allDataLoaded][102=kept][101=9]");
    rewind(*stream.get());
    ASSERT_EQ(dtm.as<IPersistStreamInit>()->Load(stream.get()), S_OK);
    ASSERT_EQ(environment(), VARIANT_TRUE);
    EXPECT_EQ(value(102), "kept");
    EXPECT_EQ(value(101), "9");
    EXPECT_EQ(object->deviceObject().tag(), "LT100") << "an empty tag item leaves the tag";
    EXPECT_EQ(object->deviceObject().dataSetState(), "allDataLoaded");
    VARIANT_BOOL changed = 1;
    ASSERT_EQ(priv->IsChanged(id(102), &changed), S_OK);
    EXPECT_EQ(changed, 0) << "values from persistence do not count as changes";
}

TEST_F(DtmPersistence, RoundTripThroughBothInterfacesKeepsEveryKind) {
    ASSERT_EQ(bind("engine/model/device_model.xml"), S_OK);
    ASSERT_EQ(environment(), VARIANT_TRUE);
    ASSERT_EQ(initNew(), VARIANT_TRUE);
    setValue(100, "42.5");
    setValue(105, "abc");
    setValue(102, "7");
    setValue(1122622930, "NEWTAG");
    auto stream = memoryStream();
    ASSERT_EQ(dtm.as<IPersistStreamInit>()->Save(stream.get(), TRUE), S_OK);
    com::ComPtr<IPropertyBag> bag;
    ASSERT_EQ(com::createPropertyBag(bag.put()), S_OK);
    ASSERT_EQ(dtm.as<IPersistPropertyBag>()->Save(bag.get(), TRUE, TRUE), S_OK);
    const auto saved = engine::readDataSetStream((rewind(*stream.get()), *stream.get())).text;

    for (int viaBag = 0; viaBag < 2; ++viaBag) {
        makeDtm();
        ASSERT_EQ(bind("engine/model/device_model.xml"), S_OK);
        if (viaBag) {
            ASSERT_EQ(dtm.as<IPersistPropertyBag>()->Load(bag.get(), nullptr), S_OK);
        } else {
            rewind(*stream.get());
            ASSERT_EQ(dtm.as<IPersistStreamInit>()->Load(stream.get()), S_OK);
        }
        ASSERT_EQ(environment(), VARIANT_TRUE);
        EXPECT_EQ(value(100), "42.5000000000");
        EXPECT_EQ(value(105), "abc");
        EXPECT_EQ(value(102), "7");
        EXPECT_EQ(object->deviceObject().tag(), "NEWTAG");
        auto again = memoryStream();
        ASSERT_EQ(dtm.as<IPersistStreamInit>()->Save(again.get(), TRUE), S_OK);
        rewind(*again.get());
        EXPECT_EQ(engine::readDataSetStream(*again.get()).text, saved) << (viaBag ? "property bag" : "stream");
    }
}

TEST_F(DtmPersistence, PropertyBagWithoutParametersFailsWithItsResult) {
    ASSERT_EQ(bind(), S_OK);
    com::ComPtr<IPropertyBag> bag;
    ASSERT_EQ(com::createPropertyBag(bag.put()), S_OK);
    EXPECT_EQ(dtm.as<IPersistPropertyBag>()->Load(bag.get(), nullptr), E_INVALIDARG);
    EXPECT_EQ(object->state(), engine::kCreated);
}

TEST_F(DtmPersistence, IdentityAndSizeQueries) {
    CLSID clsid{};
    ASSERT_EQ(dtm.as<IPersistPropertyBag>()->GetClassID(&clsid), S_OK);
    EXPECT_EQ(com::formatGuid(clsid), "{8D96A00D-3623-451C-A11D-4B12BCD11232}");
    EXPECT_TRUE(dtm.as<IPersist>());
    ULARGE_INTEGER size{};
    EXPECT_EQ(dtm.as<IPersistStreamInit>()->GetSizeMax(&size), E_NOTIMPL);
    EXPECT_EQ(dtm.as<IPersistStreamInit>()->InitNew(), S_OK);
}

}  // namespace
}  // namespace dtm_test
