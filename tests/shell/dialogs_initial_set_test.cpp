// The operation settings dialog driven as a person would: the lists it shows,
// the model defaults, the language-model marks, "Default Setting", the OK
// write-back and the first run with OK and with Cancel.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "dialogs/frm_initial_set.h"
#include "dialogs_test_support.h"
#include "settings.h"

using namespace lumora;

namespace {

QStringList VisibleItems(const QListWidget* list)
{
    QStringList items;
    for (int row = 0; row < list->count(); ++row)
        items << list->item(row)->text();
    return items;
}

QStringList Ticked(const QListWidget* list)
{
    QStringList items;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->checkState() == Qt::Checked)
            items << list->item(row)->text();
    }
    return items;
}

QListWidgetItem* Item(QListWidget* list, const QString& name)
{
    const auto found = list->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

QStringList SetNames(const TLanguageSet& set)
{
    QStringList names;
    for (int i = 0; i < set.wLanguageNum; ++i)
        names << QString::fromLatin1(set.Language[i].c_str());
    return names;
}

void SetLanguages(TLanguageSet& set, const QStringList& names)
{
    set.wLanguageNum = int(names.size());
    for (int i = 0; i < names.size(); ++i)
        set.Language[i] = names[i].toStdString();
}

}  // namespace

class InitialSetTest : public QObject {
    Q_OBJECT
private slots:
    void listsKeepDefiningOrderBehindSortedDisplay();
    void opensOnStoredSettings();
    void modelClickFillsModelDefaultsOnly();
    void clickOnPreselectedModelAndKeyMovesFillDefaults();
    void languageModelReplacesMenuMarksOnly();
    void defaultSettingTicksTheDefaultTables();
    void okWritesSettingsInDefiningOrder();
    void okWithoutSelectionKeepsModelAndStoresEmptyListsAs255();
    void satelliteToggleThenCancelChangesNothing();
    void firstRunWithOk();
    void firstRunWithCancel();
};

void InitialSetTest::listsKeepDefiningOrderBehindSortedDisplay()
{
    TApplicationState state;
    TfrmInitialSet dialog(state);
    QCOMPARE(dialog.windowTitle(), QString("Lumora Operation Setting"));

    const QStringList models = VisibleItems(dialog.FL1);
    QCOMPARE(models.size(), 28);
    QCOMPARE(models.last(), QString("USER MODEL"));
    QStringList sorted = models.mid(0, 27);
    sorted.sort();
    QCOMPARE(models.mid(0, 27), sorted);
    QCOMPARE(dialog.F1List()[20], QString("MODEL-21X"));
    QCOMPARE(dialog.F1List()[27], QString("USER MODEL"));

    // The satellite list shows sorted names but keeps its defining order.
    const QStringList satellites = VisibleItems(dialog.FL5);
    QCOMPARE(satellites.first(), QString("AMOS 1"));
    QCOMPARE(dialog.PrivateList(4).first(), QString("ASTRA 1"));
    QCOMPARE(dialog.PrivateList(4).last(), QString("APSTAR-2R"));

    QCOMPARE(dialog.CmbModel->itemText(47), QString("MODEL-26"));  // sorts after every LANGMODEL name
    QCOMPARE(TfrmInitialSet::GetLangModelIndex("MODEL-26"), 28);
    QCOMPARE(TfrmInitialSet::GetLangModelIndex("nothing"), 0);
    QCOMPARE(TfrmInitialSet::GetSelectList({"A", "B", "A"}, "A"), 2);
}

void InitialSetTest::opensOnStoredSettings()
{
    TApplicationState state;
    TSystemInfo& info = state.Settings.SystemInfo;
    info.COMPORT = 2;
    info.BAUDRATE = 1;
    info.MODEL = 20;
    info.ANT32 = 0;
    info.MENUTYPE = 6;
    info.FLASHTYPE = 7;
    info.SYSTEMID = "0000ABCD";
    info.LangModel = 47;
    SetLanguages(state.Settings.AudioLanguage, {"DUTCH", "KLINGON", "ENGLISH"});
    SetLanguages(state.Settings.AntennaLanguage, {"THOR"});

    TfrmInitialSet dialog(state);
    QCOMPARE(dialog.FC1->currentText(), QString("COM 3"));
    QCOMPARE(dialog.FC2->currentText(), QString("19200 bps"));
    QCOMPARE(dialog.FC6->currentText(), QString("ANT16"));
    QCOMPARE(dialog.FL1->selectedItems().first()->text(), QString("MODEL-21X"));
    QCOMPARE(dialog.FC3->currentText(), QString("TYPE 6"));
    QCOMPARE(dialog.FC4->currentText(), QString("TYPE 7"));
    QCOMPARE(dialog.FC5->text(), QString("0000ABCD"));
    QCOMPARE(dialog.CmbModel->currentText(), QString("MODEL-26"));
    QCOMPARE(Ticked(dialog.FL3), QStringList({"DUTCH", "ENGLISH"}));
    QCOMPARE(Ticked(dialog.FL5), QStringList({"THOR"}));
    QVERIFY(Ticked(dialog.FL2).isEmpty());
    QVERIFY(!dialog.bAntennaChanged);
}

void InitialSetTest::modelClickFillsModelDefaultsOnly()
{
    TApplicationState state;
    state.Settings.SystemInfo.COMPORT = 3;
    TfrmInitialSet dialog(state);

    dialog.FL1->setCurrentItem(Item(dialog.FL1, "MODEL-11"));
    const TDefaultSet model11 = GetDefaultSet(10);
    QCOMPARE(dialog.FC3->currentIndex(), int(model11.MenuType));
    QCOMPARE(dialog.FC4->currentIndex(), int(model11.FlashType));
    QCOMPARE(dialog.FC3->currentText(), QString("TYPE 3"));
    QCOMPARE(dialog.FC4->currentText(), QString("TYPE 4"));
    QCOMPARE(dialog.FC5->text(), QString::fromStdString(model11.SYSTEMID));

    dialog.FL1->setCurrentItem(Item(dialog.FL1, "USER MODEL"));
    const TDefaultSet model1 = GetDefaultSet(0);
    QCOMPARE(dialog.FC3->currentIndex(), int(model1.MenuType));
    QCOMPARE(dialog.FC4->currentIndex(), int(model1.FlashType));
    QCOMPARE(dialog.FC5->text(), QString::fromStdString(model1.SYSTEMID));
    QCOMPARE(dialog.FC1->currentIndex(), 3);
    QVERIFY(!dialog.bAntennaChanged);
}

// The first run opens with "MODEL-01" selected and zero types: a click on
// that very entry must still fill its defaults, so OK stores them.
void InitialSetTest::clickOnPreselectedModelAndKeyMovesFillDefaults()
{
    TApplicationState state;
    TfrmInitialSet dialog(state);
    dialog.show();
    QListWidgetItem* first = Item(dialog.FL1, "MODEL-01");
    QVERIFY(first->isSelected());
    QCOMPARE(dialog.FC3->currentText(), QString("TYPE 0"));
    QTest::mouseClick(dialog.FL1->viewport(), Qt::LeftButton, {}, dialog.FL1->visualItemRect(first).center());
    QTest::mouseClick(dialog.FlatButton2, Qt::LeftButton);
    const TDefaultSet model1 = GetDefaultSet(0);
    QCOMPARE(state.Settings.SystemInfo.MODEL, uint8_t(0));
    QCOMPARE(state.Settings.SystemInfo.MENUTYPE, model1.MenuType);
    QCOMPARE(state.Settings.SystemInfo.FLASHTYPE, model1.FlashType);
    QCOMPARE(state.Settings.SystemInfo.SYSTEMID, model1.SYSTEMID);
    QVERIFY(!model1.SYSTEMID.empty());

    // Moving down with the keyboard fills the next entry's defaults.
    state.Settings.SystemInfo.MODEL = 1;  // "MODEL-02"; "MODEL-03" follows
    TfrmInitialSet again(state);
    again.show();
    again.FL1->setFocus();
    QTest::keyClick(again.FL1, Qt::Key_Down);
    QCOMPARE(again.FL1->selectedItems().first()->text(), QString("MODEL-03"));
    QCOMPARE(again.FC3->currentText(), QString("TYPE 2"));
    QCOMPARE(again.FC4->currentIndex(), int(GetDefaultSet(2).FlashType));
    QCOMPARE(again.FC5->text(), QString::fromStdString(GetDefaultSet(2).SYSTEMID));
}

void InitialSetTest::languageModelReplacesMenuMarksOnly()
{
    TApplicationState state;
    SetLanguages(state.Settings.MenuLanguage, {"CHINESE", "FINNISH"});
    SetLanguages(state.Settings.AudioLanguage, {"GREEK"});
    TfrmInitialSet dialog(state);

    // Language model 10 carries ENGLISH, GERMAN, FRENCH, ITALIAN, RUSSIAN, ARABIC, PERSIAN.
    dialog.CmbModel->setCurrentText("LANGMODEL-11");
    dialog.CmbModelChange();
    QCOMPARE(Ticked(dialog.FL2),
             QStringList({"ARABIC", "ENGLISH", "FRENCH", "GERMAN", "ITALIAN", "PERSIAN", "RUSSIAN"}));
    QCOMPARE(Ticked(dialog.FL3), QStringList({"GREEK"}));

    dialog.CmbModel->setCurrentText("LANGMODEL-46");
    dialog.CmbModelChange();
    QCOMPARE(Ticked(dialog.FL2), QStringList({"CHINESE", "ENGLISH"}));
}

void InitialSetTest::defaultSettingTicksTheDefaultTables()
{
    TApplicationState state;
    SetLanguages(state.Settings.MenuLanguage, {"POLISH", "RUSSIAN"});
    state.Settings.SystemInfo.MENUTYPE = 5;
    state.Settings.SystemInfo.COMPORT = 2;
    TfrmInitialSet dialog(state);
    QTest::mouseClick(dialog.BtnDefault, Qt::LeftButton);

    QCOMPARE(Ticked(dialog.FL2), QStringList({"CZECH", "DANISH", "ENGLISH", "FINNISH", "FRENCH", "GERMAN", "HUNGARIAN",
                                              "ITALIAN", "PORTUGUESE", "SPANISH", "SWEDISH", "TURKISH"}));
    QCOMPARE(Ticked(dialog.FL3).size(), 17);
    QCOMPARE(Ticked(dialog.FL4).size(), 12);
    QVERIFY(!Ticked(dialog.FL4).contains("RUSSIAN"));
    const QStringList satellites = Ticked(dialog.FL5);
    QCOMPARE(satellites.size(), 17);
    QVERIFY(satellites.contains("TELECOM 2B2D"));
    QVERIFY(!satellites.contains("EUTELSAT W4"));
    QCOMPARE(dialog.FC1->currentText(), QString("COM 1"));
    QCOMPARE(dialog.FC2->currentText(), QString("115200 bps"));
    QCOMPARE(dialog.FC6->currentText(), QString("ANT32"));
    QCOMPARE(dialog.FC3->currentIndex(), 5);  // model values are left alone
    QVERIFY(dialog.bAntennaChanged);
}

void InitialSetTest::okWritesSettingsInDefiningOrder()
{
    TApplicationState state;
    state.Settings.SystemInfo.MODEL = 3;
    TfrmInitialSet dialog(state);
    dialog.show();
    Item(dialog.FL3, "DUTCH")->setCheckState(Qt::Checked);
    Item(dialog.FL3, "ENGLISH")->setCheckState(Qt::Checked);
    Item(dialog.FL5, "THOR")->setCheckState(Qt::Checked);
    Item(dialog.FL5, "ASTRA 2")->setCheckState(Qt::Checked);
    dialog.FL1->setCurrentItem(Item(dialog.FL1, "MODEL-21X"));
    dialog.FC5->setText("12AB");
    dialog.FC1->setCurrentIndex(1);
    dialog.FC2->setCurrentIndex(3);
    dialog.FC6->setCurrentIndex(0);
    dialog.CmbModel->setCurrentIndex(47);
    QVERIFY(dialog.bAntennaChanged);
    QTest::mouseClick(dialog.FlatButton2, Qt::LeftButton);

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const TSystemInfo& info = state.Settings.SystemInfo;
    QCOMPARE(info.MODEL, uint8_t(20));
    QCOMPARE(info.SYSTEMID, std::string("12AB"));
    QCOMPARE(info.COMPORT, uint8_t(1));
    QCOMPARE(info.BAUDRATE, uint8_t(3));
    QCOMPARE(info.ANT32, uint8_t(0));
    QCOMPARE(info.MENUTYPE, GetDefaultSet(20).MenuType);
    QCOMPARE(info.FLASHTYPE, GetDefaultSet(20).FlashType);
    QCOMPARE(info.LangModel, 47);
    QCOMPARE(SetNames(state.Settings.AudioLanguage), QStringList({"ENGLISH", "DUTCH"}));
    QCOMPARE(SetNames(state.Settings.AntennaLanguage), QStringList({"ASTRA 2", "THOR"}));
}

void InitialSetTest::okWithoutSelectionKeepsModelAndStoresEmptyListsAs255()
{
    TApplicationState state;
    state.Settings.SystemInfo.MODEL = 40;  // beyond the list: nothing is selected
    TfrmInitialSet dialog(state);
    QVERIFY(dialog.FL1->selectedItems().isEmpty());
    dialog.FC3->setCurrentIndex(-1);
    dialog.CmbModel->setCurrentIndex(-1);
    dialog.FlatButton2Click();
    QCOMPARE(state.Settings.SystemInfo.MODEL, uint8_t(40));
    QCOMPARE(state.Settings.SystemInfo.MENUTYPE, uint8_t(255));
    QCOMPARE(state.Settings.SystemInfo.LangModel, -1);
}

void InitialSetTest::satelliteToggleThenCancelChangesNothing()
{
    TApplicationState state;
    SetLanguages(state.Settings.AntennaLanguage, {"HOTBIRD"});
    state.Settings.SystemInfo.BAUDRATE = 2;
    TfrmInitialSet dialog(state);
    const int result = test::ExecWith(dialog, [&] {
        Item(dialog.FL5, "ORION")->setCheckState(Qt::Checked);
        dialog.FC2->setCurrentIndex(0);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY(dialog.bAntennaChanged);  // read only after OK, so no tree is rebuilt
    QCOMPARE(SetNames(state.Settings.AntennaLanguage), QStringList({"HOTBIRD"}));
    QCOMPARE(state.Settings.SystemInfo.BAUDRATE, uint8_t(2));
}

void InitialSetTest::firstRunWithOk()
{
    TApplicationState state;  // no settings file: everything zero and empty
    TfrmInitialSet dialog(state);
    dialog.bFirstSetting = true;
    bool flagSetOnShow = false;
    const int result = test::ExecWith(dialog, [&] {
        flagSetOnShow = dialog.bAntennaChanged;
        QTest::mouseClick(dialog.FlatButton2, Qt::LeftButton);
    });
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(flagSetOnShow);
    const TSystemInfo& info = state.Settings.SystemInfo;
    QCOMPARE(info.COMPORT, uint8_t(0));
    QCOMPARE(info.BAUDRATE, uint8_t(4));
    QCOMPARE(info.ANT32, uint8_t(1));
    QCOMPARE(info.MODEL, uint8_t(0));
    QCOMPARE(info.SYSTEMID, std::string());
    QCOMPARE(SetNames(state.Settings.MenuLanguage),
             QStringList({"ENGLISH", "GERMAN", "FRENCH", "ITALIAN", "SPANISH", "PORTUGUESE", "FINNISH", "HUNGARIAN",
                          "TURKISH", "CZECH", "DANISH", "SWEDISH"}));
    QCOMPARE(state.Settings.AudioLanguage.wLanguageNum, 17);
    QCOMPARE(state.Settings.AntennaLanguage.wLanguageNum, 17);
    QCOMPARE(SetNames(state.Settings.AntennaLanguage).last(), QString("TELECOM 2B2D"));
}

void InitialSetTest::firstRunWithCancel()
{
    TApplicationState state;
    TfrmInitialSet dialog(state);
    dialog.bFirstSetting = true;
    const int result = test::ExecWith(dialog, [&] { QTest::mouseClick(dialog.FlatButton1, Qt::LeftButton); });
    QCOMPARE(result, int(QDialog::Rejected));
    QCOMPARE(state.Settings.SystemInfo.BAUDRATE, uint8_t(0));
    QCOMPARE(state.Settings.SystemInfo.ANT32, uint8_t(0));
    QCOMPARE(state.Settings.AntennaLanguage.wLanguageNum, 0);
}

QTEST_MAIN(InitialSetTest)
#include "dialogs_initial_set_test.moc"
