// The project file: what it keeps, and that damaged and foreign files are
// refused without being changed and without losing the open project.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "studio/dialogs.h"
#include "studio/project_database.h"
#include "tests/studio/studio_support.h"

namespace {

namespace fs = std::filesystem;
using studio::ProjectData;

QString scratch(const std::string& name) {
    const fs::path dir =
        fs::temp_directory_path() / ("studio-file-test-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return QString::fromStdString((dir / name).string());
}

QByteArray contents(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

ProjectData sample() {
    ProjectData data;
    data.lines = {{1, "sim:positioner"}, {2, "hartip:127.0.0.1:5095"}};
    data.devices = {{"PV-1", "VarnholtRavikHARTDTM.BasicDTM.1", 1, 0, "positioner data set"},
                    {"LT-2", "VarnholtLenmorHARTDTM.BasicDTM.1", 2, 3, QByteArray("\0\1\2", 3)}};
    data.audit = {{"PV-1", QDateTime(QDate(2026, 12, 8), QTime(10, 0, 0), Qt::UTC), "ann", "1", "0",
                   "3", false}};
    return data;
}

TEST(ProjectFile, KeepsLinesDevicesDataSetsAndAppendsTheAuditTrail) {
    studio_test::application();
    const QString path = scratch("roundtrip.dtmproject");
    ProjectData data = sample();
    ASSERT_TRUE(studio::writeProject(path, data));
    EXPECT_TRUE(data.audit.front().saved);
    data.audit.push_back({"LT-2", QDateTime(QDate(2026, 12, 8), QTime(11, 0, 0), Qt::UTC), "bob",
                          "tag", "A", "B", false});
    ASSERT_TRUE(studio::writeProject(path, data));

    ProjectData read;
    ASSERT_TRUE(studio::readProject(path, read));
    ASSERT_EQ(read.lines.size(), 2u);
    EXPECT_EQ(read.lines[1].spec, "hartip:127.0.0.1:5095");
    ASSERT_EQ(read.devices.size(), 2u);
    EXPECT_EQ(read.devices[1].address, 3);
    EXPECT_EQ(read.devices[1].dataSet, QByteArray("\0\1\2", 3));
    ASSERT_EQ(read.audit.size(), 2u) << "each entry once";
    EXPECT_EQ(read.audit[0].time, data.audit[0].time);
    EXPECT_EQ(read.audit[1].newValue, "B");
    fs::remove_all(fs::path(path.toStdString()).parent_path());
}

TEST(ProjectFile, DamagedAndForeignFilesAreRefusedAndLeftAlone) {
    studio_test::Studio studio;
    ASSERT_NE(studio.window->addSimulatedDevice("positioner", "PV-9"), nullptr);

    const QString garbage = scratch("garbage.dtmproject");
    {
        QFile file(garbage);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(3000, '\x5a'));
    }
    const QString foreign = scratch("foreign.sqlite");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "foreign");
        db.setDatabaseName(foreign);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec("CREATE TABLE recipes (name TEXT)");
        db.close();
    }
    QSqlDatabase::removeDatabase("foreign");
    const QString truncated = scratch("truncated.dtmproject");
    {
        ProjectData data = sample();
        ASSERT_TRUE(studio::writeProject(truncated, data));
        QFile file(truncated);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const QByteArray whole = file.readAll();
        file.resize(whole.size() / 2);
    }
    const QString badDataSet = scratch("baddataset.dtmproject");
    {
        ProjectData data = sample();
        ASSERT_TRUE(studio::writeProject(badDataSet, data));
    }

    const struct {
        QString path;
        const char* reason;
    } cases[] = {
        {garbage, "not a project file, or it is damaged: file is not a database"},
        {foreign, "another program"},
        {truncated, "damaged"},
        {badDataSet, "data set of PV-1 is unusable"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const QByteArray before = contents(c.path);
        studio.problems.clear();
        EXPECT_FALSE(studio.window->openProject(c.path));
        ASSERT_EQ(studio.problems.size(), 1);
        EXPECT_TRUE(studio.problems.front().contains(c.reason))
            << studio.problems.front().toStdString();
        EXPECT_EQ(contents(c.path), before) << "the file is not changed";
        EXPECT_NE(studio.window->project().device("PV-9"), nullptr) << "the open project stays";
    }
    // Nor is a foreign file overwritten by a save.
    const QByteArray before = contents(foreign);
    EXPECT_FALSE(studio.window->saveProject(foreign));
    EXPECT_EQ(contents(foreign), before);
    fs::remove_all(fs::path(garbage.toStdString()).parent_path());
}

TEST(ProjectFile, ADeviceWhoseDtmCannotStartIsKeptOnSave) {
    studio_test::Studio studio;
    const QString path = scratch("missing-dtm.dtmproject");
    ProjectData data;
    data.lines = {{1, "sim:positioner"}};
    data.devices = {{"PV-3", "Nobody.MissingDTM.1", 1, 0, {}}};
    ASSERT_TRUE(studio::writeProject(path, data));
    EXPECT_FALSE(studio.window->openProject(path));
    ASSERT_EQ(studio.problems.size(), 1);
    EXPECT_TRUE(studio.problems.front().contains("PV-3")) << studio.problems.front().toStdString();
    ASSERT_TRUE(studio.window->saveProject(path)) << studio.problems.join("\n").toStdString();
    ProjectData read;
    ASSERT_TRUE(studio::readProject(path, read));
    ASSERT_EQ(read.devices.size(), 1u);
    EXPECT_EQ(read.devices[0].progId, "Nobody.MissingDTM.1");
    fs::remove_all(fs::path(path.toStdString()).parent_path());
}

TEST(LineDialog, FieldsGiveTheFramesLineNames) {
    using Kind = studio::LineFields::Kind;
    const struct {
        studio::LineFields fields;
        const char* spec;
    } cases[] = {
        {{Kind::Simulator, "level", {}, false, false, {}, 5094, false}, "sim:level"},
        {{Kind::Serial, {}, "/dev/ttyUSB0", true, false, {}, 5094, false},
         "serial:/dev/ttyUSB0,rts"},
        {{Kind::HartIp, {}, {}, false, false, "127.0.0.1", 5094, false}, "hartip:127.0.0.1"},
        {{Kind::HartIp, {}, {}, false, false, "127.0.0.1", 20004, true},
         "hartip:127.0.0.1:20004,udp"},
    };
    for (const auto& c : cases) EXPECT_EQ(studio::lineSpec(c.fields), c.spec);
}

}  // namespace
