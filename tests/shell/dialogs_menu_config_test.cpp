// The menu data dialog: its encodings of time offset, screen format, UHF
// offset and channel, the language lists, the pass-through of the fields it
// does not show, OK/CANCEL behaviour, and the dialog opened through the UI port.
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>
#include <cstring>

#include "dialogs/frm_menu_config.h"
#include "dialogs_test_support.h"
#include "qt_ui_port.h"

using namespace lumora;

namespace {

void SetLanguages(TLanguageSet& set, const QStringList& names)
{
    set.wLanguageNum = int(names.size());
    for (int i = 0; i < names.size(); ++i)
        set.Language[i] = names[i].toStdString();
}

// A record whose unshown fields all hold a non-zero pattern and whose shown
// fields hold values their lists offer.
TMenuConfigItem SampleRecord()
{
    TMenuConfigItem r;
    std::memset(static_cast<void*>(&r), 0x5A, sizeof r);
    r.n2ndAudioLang = 1;
    r.nTimeOffset = 130;
    r.nVideoOutput = 2;
    r.nAudioOutput = 1;
    r.nScreenMode = 0;
    r.nDisplayFormat = 1;
    r.nInfoboxType = 3;
    r.nInfoboxTime = 17;
    r.nMenuBackground = r.nChangeReservedMode = 1;
    r.nUHFChannel = 36;
    r.nUHFPAL = 3;
    r.nUHFOffset = 2;
    r.nCensorShip = 4;
    return r;
}

}  // namespace

class MenuConfigTest : public QObject {
    Q_OBJECT
private slots:
    void timeOffsetItemsAndEncoding();
    void timeOffsetThroughTheDialog();
    void screenFormatEncoding();
    void uhfOffsetAndChannel();
    void badChannelKeepsDialogOpenWithOtherChanges();
    void languageListsStorePositionsInTheSets();
    void unshownFieldsPassThroughUnchanged();
    void cancelLeavesResultUntouched();
    void uiPortReturnsMenuOnOkAndNothingOnEscape();
};

void MenuConfigTest::timeOffsetItemsAndEncoding()
{
    TApplicationState state;
    TfrmMenuConfig dialog(state);
    QCOMPARE(dialog.windowTitle(), QString("Menu Data Configuration"));
    QCOMPARE(dialog.FC4->count(), 49);
    QCOMPARE(dialog.FC4->itemText(0), QString("GMT -12:00"));
    QCOMPARE(dialog.FC4->itemText(23), QString("GMT -00:30"));
    QCOMPARE(dialog.FC4->itemText(24), QString("GMT  00:00"));
    QCOMPARE(dialog.FC4->itemText(25), QString("GMT +00:30"));
    QCOMPARE(dialog.FC4->itemText(48), QString("GMT +12:00"));

    QCOMPARE(int32_t(TfrmMenuConfig::EncodeTimeOffset(5)), -930);
    QCOMPARE(int32_t(TfrmMenuConfig::EncodeTimeOffset(23)), -30);
    QCOMPARE(int32_t(TfrmMenuConfig::EncodeTimeOffset(48)), 1200);
    for (int position = 0; position < 49; ++position)
        QCOMPARE(TfrmMenuConfig::DecodeTimeOffset(TfrmMenuConfig::EncodeTimeOffset(position)), position);
}

void MenuConfigTest::timeOffsetThroughTheDialog()
{
    TApplicationState state;
    TfrmMenuConfig dialog(state);
    TMenuConfigItem record;
    record.nTimeOffset = uint32_t(-1130);
    dialog.InitData(record);
    QCOMPARE(dialog.FC4->currentText(), QString("GMT -11:30"));
    QCOMPARE(int32_t(dialog.MakeData().nTimeOffset), -1130);
    dialog.FC4->setCurrentText("GMT +05:30");
    QCOMPARE(int32_t(dialog.MakeData().nTimeOffset), 530);
    dialog.FC4->setCurrentText("GMT  00:00");
    QCOMPARE(int32_t(dialog.MakeData().nTimeOffset), 0);
}

void MenuConfigTest::screenFormatEncoding()
{
    TApplicationState state;
    TfrmMenuConfig dialog(state);
    TMenuConfigItem record;
    record.nScreenMode = 0;
    record.nDisplayFormat = 1;
    dialog.InitData(record);
    QCOMPARE(dialog.FC10->currentText(), QString("4:3"));
    QCOMPARE(dialog.FC11->currentText(), QString("CENTER"));

    dialog.FC10->setCurrentText("16:9");
    QCOMPARE(dialog.FC11->count(), 2);
    QCOMPARE(dialog.FC11->itemText(1), QString("FULL"));
    QCOMPARE(dialog.FC11->currentText(), QString("PILLAR-BOX"));
    const TMenuConfigItem out = dialog.MakeData();
    QCOMPARE(out.nScreenMode, uint8_t(1));
    QCOMPARE(out.nDisplayFormat, uint8_t(0x20));

    record.nScreenMode = 1;
    record.nDisplayFormat = 0x30;
    dialog.InitData(record);
    QCOMPARE(dialog.FC10->currentText(), QString("16:9"));
    QCOMPARE(dialog.FC11->currentText(), QString("FULL"));
    QCOMPARE(dialog.MakeData().nDisplayFormat, uint8_t(0x30));
}

void MenuConfigTest::uhfOffsetAndChannel()
{
    TApplicationState state;
    TfrmMenuConfig dialog(state);
    TMenuConfigItem record;
    record.nUHFOffset = -4;
    record.nUHFChannel = 21;
    dialog.InitData(record);
    QCOMPARE(dialog.FC7->currentText(), QString("-4"));
    QCOMPARE(dialog.FE1->text(), QString("21"));
    QCOMPARE(dialog.MakeData().nUHFOffset, int16_t(-4));
    dialog.FC7->setCurrentText("4");
    dialog.FE1->setText("300");
    const TMenuConfigItem out = dialog.MakeData();
    QCOMPARE(out.nUHFOffset, int16_t(4));
    QCOMPARE(out.nUHFChannel, uint8_t(44));  // 300 cut to 8 bits
}

void MenuConfigTest::badChannelKeepsDialogOpenWithOtherChanges()
{
    TApplicationState state;
    TMenuConfigItem record;
    record.nPINCode = 77;  // passes through once the record is taken
    TfrmMenuConfig dialog(state);
    dialog.InitData(record);
    dialog.show();
    dialog.FC12->setCurrentIndex(5);
    dialog.FE1->setText("3x");
    QString shown;
    test::AnswerNextMessageBox(shown);
    dialog.OkClick();
    QCOMPARE(shown, QString("'3x' is not a valid integer value"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.Result().Item.nPINCode, int16_t(0));  // nothing taken yet
    QCOMPARE(dialog.FC12->currentIndex(), 5);

    dialog.FE1->setText("12");
    dialog.OkClick();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const TMenuConfigItem taken = dialog.Result().Item;
    QCOMPARE(taken.nUHFChannel, uint8_t(12));
    QCOMPARE(taken.nInfoboxType, uint8_t(5));
    QCOMPARE(taken.nPINCode, int16_t(77));
}

void MenuConfigTest::languageListsStorePositionsInTheSets()
{
    TApplicationState state;
    SetLanguages(state.Settings.MenuLanguage, {"A", "B", "C", "D", "E"});
    SetLanguages(state.Settings.AudioLanguage, {"GERMAN", "ENGLISH"});
    SetLanguages(state.Settings.SubtitleLanguage, {"SWEDISH", "DANISH"});
    TfrmMenuConfig dialog(state);
    TMenuConfigItem record;
    record.nMenuLang = 7;  // beyond the five names: the list is disabled
    record.nMainAudioLang = 0;
    record.nSubtitleLang = 1;
    dialog.InitData(record);

    QVERIFY(!dialog.FC1->isEnabled());
    QCOMPARE(dialog.FC2->itemText(0), QString("ENGLISH"));  // shown sorted
    QCOMPARE(dialog.FC2->currentText(), QString("GERMAN"));
    QCOMPARE(dialog.FC3->currentText(), QString("DANISH"));

    dialog.FC2->setCurrentText("ENGLISH");
    const TMenuConfigItem out = dialog.MakeData();
    QCOMPARE(out.nMenuLang, uint8_t(7));
    QCOMPARE(out.nMainAudioLang, uint8_t(1));
    QCOMPARE(out.nSubtitleLang, uint8_t(1));
    QCOMPARE(dialog.AudioStr, std::string("ENGLISH"));
    QCOMPARE(dialog.SubStr, std::string("DANISH"));
    QCOMPARE(dialog.MenuStr, std::string());
    QCOMPARE(TfrmMenuConfig::GetLangStrIdx(state.Settings.AudioLanguage, "FRENCH"), -1);
}

void MenuConfigTest::unshownFieldsPassThroughUnchanged()
{
    TApplicationState state;
    TfrmMenuConfig dialog(state);
    const TMenuConfigItem record = SampleRecord();
    dialog.InitData(record);
    // The language positions have no names in the empty sets: the lists are
    // disabled and keep the record's values too.
    QVERIFY(dialog.MakeData() == record);
}

void MenuConfigTest::cancelLeavesResultUntouched()
{
    TApplicationState state;
    TfrmMenuConfig dialog(state);
    dialog.InitData(SampleRecord());
    const int result = test::ExecWith(dialog, [&] {
        dialog.FE1->setText("");  // even an empty channel does not hold Escape up
        dialog.FC17->setCurrentIndex(0);
        QTest::keyClick(dialog.FE1, Qt::Key_Escape);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(dialog.Result().Item == TMenuConfigItem{});  // the sample record was not taken
}

void MenuConfigTest::uiPortReturnsMenuOnOkAndNothingOnEscape()
{
    TApplicationState state;
    SetLanguages(state.Settings.AudioLanguage, {"GERMAN", "ENGLISH"});
    TMenuConfigItem record;
    record.nMainAudioLang = 0;  // GERMAN
    record.nPINCode = 77;
    const TMenuLanguageNames names{"", "GERMAN", ""};
    QtUiPort port(nullptr, &state);

    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<TfrmMenuConfig*>(QApplication::activeModalWidget())) {
            dialog->FC2->setFocus();
            QTest::keyClick(dialog->FC2, Qt::Key_Up);  // shown sorted: ENGLISH above GERMAN
            QTest::mouseClick(test::Button(*dialog, "OK"), Qt::LeftButton);
        }
    });
    const std::optional<TMenuDialogResult> chosen = port.ShowMenuConfigDialog(record, names);
    QVERIFY(chosen.has_value());
    QCOMPARE(chosen->Item.nMainAudioLang, uint8_t(1));
    QCOMPARE(chosen->Item.nPINCode, int16_t(77));
    QCOMPARE(chosen->Names.AudioStr, std::string("ENGLISH"));

    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QVERIFY(!port.ShowMenuConfigDialog(record, names).has_value());
}

QTEST_MAIN(MenuConfigTest)
#include "dialogs_menu_config_test.moc"
