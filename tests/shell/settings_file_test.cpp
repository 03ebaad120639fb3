// The settings file at start and close, as a person meets it: a settings file
// the program cannot use is reported and left alone, and an installed
// read-only one is read while the settings go to the user's own file.
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include "frm_main.h"
#include "main_window_support.h"
#include "modal_answers.h"
#include "settings.h"

using namespace lumora;
using lumora::test::ModalAnswers;
using lumora::test::ReadAll;

namespace {

enum class Kind { Content, Folder, Unreadable };

struct SeenBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
};

// Answers the next message box with OK, keeping its icon and text.
void AnswerBox(ModalAnswers& answers, SeenBox& seen)
{
    answers.Push([&seen](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        seen = {box->icon(), box->text()};
        box->button(QMessageBox::Ok)->click();
    });
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray BinaryGarbage()
{
    QByteArray bytes;
    for (int i = 0; i < 1024; ++i)
        bytes.append(char((i * 37) & 0xFF));
    return bytes;
}

}  // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString ProgramDir() const { return dir_.filePath(QStringLiteral("program")); }
    QString Beside() const { return ProgramDir() + QStringLiteral("/LV32.cfg"); }
    QString UserFile() const { return dir_.filePath(QStringLiteral("config/LumoraV3/LV32.cfg")); }
    TMainWindowPaths Paths() const { return TMainWindowPaths::ForProgramDirectory(ProgramDir().toStdString()); }

private slots:
    void init()
    {
        qputenv("XDG_CONFIG_HOME", dir_.filePath(QStringLiteral("config")).toLocal8Bit());
        QFile::setPermissions(ProgramDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir(ProgramDir()).removeRecursively();
        QDir(dir_.filePath(QStringLiteral("config"))).removeRecursively();
        QVERIFY(QDir().mkpath(ProgramDir()));
    }

    void settingsFileTheProgramCannotUse_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");  // empty: the file is read
        const QByteArray valid = "[SYSTEMINFO]\r\nMODEL=5\r\n";
        QTest::newRow("folder") << int(Kind::Folder) << QByteArray() << QStringLiteral("Is a directory");
        QTest::newRow("mode 000") << int(Kind::Unreadable) << valid << QStringLiteral("Permission denied");
        QTest::newRow("binary garbage") << int(Kind::Content) << BinaryGarbage()
                                        << QStringLiteral("not a text file (a zero byte at offset 0)");
        QTest::newRow("huge line") << int(Kind::Content)
                                   << QByteArray("[SYSTEMINFO]\r\nSYSTEMID=") + QByteArray(2 << 20, 'A')
                                   << QStringLiteral("too large for an initialisation file (2097175 bytes)");
        // Lines that are neither sections nor keys are skipped, as the
        // profile functions do; Latin-1 names are ordinary text.
        QTest::newRow("section without closing bracket, Latin-1 name")
            << int(Kind::Content)
            << QByteArray("[MAIN LANGUAGE\r\n" + valid +
                          "[AUDIO LANGUAGE]\r\nCOUNT=1\r\nLANGUAGE 0=Fran\xE7"
                          "ais\r\n")
            << QString();
    }

    void settingsFileTheProgramCannotUse()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        if (Kind(kind) == Kind::Unreadable && ::geteuid() == 0)
            QSKIP("running as root: mode 000 does not stop root from reading");
        if (Kind(kind) == Kind::Folder)
            QVERIFY(QDir().mkpath(Beside() + QStringLiteral("/kept")));
        else
            Write(Beside(), content);
        if (Kind(kind) == Kind::Unreadable)
            QVERIFY(::chmod(QFile::encodeName(Beside()).constData(), 0) == 0);
        const bool broken = !reason.isEmpty();

        ModalAnswers answers;
        SeenBox error, notice;
        if (broken) {
            AnswerBox(answers, error);
            AnswerBox(answers, notice);
        }
        {
            TfrmMain window(Paths());
            window.show();
            QVERIFY(window.isVisible());
            if (broken) {
                QCOMPARE(error.icon, QMessageBox::Critical);
                QCOMPARE(error.text, Beside() + QStringLiteral(": ") + reason);
                QCOMPARE(window.FE1->text(), QStringLiteral("MODEL-01"));
                QVERIFY(window.State().Settings == TSettings{});
            } else {
                QCOMPARE(window.FE1->text(), QStringLiteral("MODEL-06"));
                QCOMPARE(QString::fromLatin1(window.State().Settings.AudioLanguage.Language[0]),
                         QStringLiteral("Fran\u00E7ais"));
            }
            QVERIFY(window.close());
        }
        QCOMPARE(answers.unexpected, 0);
        QCOMPARE(answers.Pending(), 0);
        QCOMPARE(QFile::exists(UserFile()), broken);
        if (!broken) {
            QVERIFY(ReadAll(Beside()).startsWith("[MAIN LANGUAGE\r\n[SYSTEMINFO]\r\nMODEL=5\r\n"));
            return;
        }
        QCOMPARE(notice.icon, QMessageBox::Information);
        QVERIFY2(notice.text.contains(UserFile()), qPrintable(notice.text));
        const Result<std::optional<TSettings>> written = LoadConfigData(UserFile().toStdString());
        QVERIFY(written && written.value());
        QVERIFY(*written.value() == TSettings{});

        // The next start reports the file again and goes on with what the
        // user's own file holds by then.
        Write(UserFile(), "[SYSTEMINFO]\r\nMODEL=7\r\n");
        SeenBox errorAgain, noticeAgain;
        AnswerBox(answers, errorAgain);
        AnswerBox(answers, noticeAgain);
        {
            TfrmMain window(Paths());
            QCOMPARE(errorAgain.text, error.text);
            QCOMPARE(window.FE1->text(), QStringLiteral("MODEL-08"));
            QVERIFY(window.close());
        }
        QCOMPARE(answers.unexpected, 0);
        QCOMPARE(noticeAgain.text, notice.text);

        if (Kind(kind) == Kind::Unreadable)
            QVERIFY(::chmod(QFile::encodeName(Beside()).constData(), 0644) == 0);
        if (Kind(kind) == Kind::Folder)
            QVERIFY(QFileInfo(Beside() + QStringLiteral("/kept")).isDir());
        else
            QCOMPARE(ReadAll(Beside()), content);
    }

    void installedSettingsAreReadAndTheUserFileWinsLater()
    {
        if (::geteuid() == 0)
            QSKIP("running as root: a read-only folder does not stop root from writing");
        Write(Beside(), "; installed default\r\n[SYSTEMINFO]\r\nMODEL=5\r\n");
        QVERIFY(QFile::setPermissions(ProgramDir(), QFile::ReadOwner | QFile::ExeOwner));
        ModalAnswers answers;  // no first-run question, no error
        {
            TfrmMain window(Paths());
            QCOMPARE(window.FE1->text(), QStringLiteral("MODEL-06"));
            QVERIFY(window.close());
        }
        QCOMPARE(ReadAll(Beside()), QByteArray("; installed default\r\n[SYSTEMINFO]\r\nMODEL=5\r\n"));
        const Result<std::optional<TSettings>> written = LoadConfigData(UserFile().toStdString());
        QVERIFY(written && written.value());
        QCOMPARE(int(written.value()->SystemInfo.MODEL), 5);

        // A new installed default (the file itself stays writable for its
        // owner) does not replace what the user's own file holds.
        Write(Beside(), "[SYSTEMINFO]\r\nMODEL=9\r\n");
        TfrmMain again(Paths());
        QCOMPARE(again.FE1->text(), QStringLiteral("MODEL-06"));
        QCOMPARE(answers.unexpected, 0);
    }
};

QTEST_MAIN(SettingsFileTest)
#include "settings_file_test.moc"
