// The stream, cable stream, antenna and service selection dialogs: their field
// and bit rules, what OK leaves in their results, and that CANCEL and
// Escape always close them.
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QtTest>
#include <tuple>

#include "dialogs/frm_antenna.h"
#include "dialogs/frm_qam_ts_setting.h"
#include "dialogs/frm_service_select.h"
#include "dialogs/frm_ts_setting.h"
#include "dialogs_test_support.h"
#include "qt_ui_port.h"

using namespace lumora;

namespace {

TTSItem SampleStream()
{
    TTSItem ts;
    ts.wOrgNetworkId = 1;
    ts.wTsId = 1001;
    ts.wAntennaIndex = 4;
    ts.pNetworkIndex = 1;
    ts.SATTSInfo = TSATTSInfo{11778, 27500, 9, 1, 2};
    ts.dwSmaTVDiff = 77;
    return ts;
}

void SetSatellites(TApplicationState& state, const QStringList& names)
{
    state.Settings.AntennaLanguage.wLanguageNum = int(names.size());
    for (int i = 0; i < names.size(); ++i)
        state.Settings.AntennaLanguage.Language[i] = names[i].toStdString();
}

TServiceItem Service(uint8_t type, const char* name, uint16_t fixedNumber = 0)
{
    TServiceItem service;
    service.ServiceType = type;
    service.szServiceName = name;
    service.wServiceNumber = fixedNumber;
    return service;
}

}  // namespace

class StreamAntennaTest : public QObject {
    Q_OBJECT
private slots:
    void streamShowsRecordAndNetwork();
    void streamOkStoresLow16BitsAndKeepsOtherFields();
    void streamBadFieldKeepsOpenButCancelAlwaysCloses();
    void cableStreamConstellationCountsFromOne();
    void antennaFrequencyAndUniversal();
    void antennaOtherSettingBits();
    void antennaSatelliteChoice();
    void serviceSelectRowsAndNumbering();
    void uiPortTextAndOPNumbers();
};

void StreamAntennaTest::streamShowsRecordAndNetwork()
{
    auto networks = std::make_unique<TNetworkInfo>();
    networks->wNetworkNum = 2;
    networks->Info[1].szNetworkName = "Caf\xe9 Net";
    TfrmTSSetting dialog;
    QCOMPARE(dialog.windowTitle(), QString("Transport Stream Setting"));
    dialog.InitData(SampleStream(), *networks);
    QCOMPARE(dialog.FlatEdit1->text(), QString::fromUtf8("Caf\u00e9 Net"));
    QVERIFY(dialog.FlatEdit1->isReadOnly());
    QCOMPARE(dialog.FC3->currentText(), QString("5"));
    QCOMPARE(dialog.FC1->currentText(), QString("VERTICAL"));
    QCOMPARE(dialog.FC2->currentText(), QString("3/4"));

    TTSItem none = SampleStream();
    none.pNetworkIndex = -1;
    dialog.InitData(none, *networks);
    QCOMPARE(dialog.FlatEdit1->text(), QString());
}

void StreamAntennaTest::streamOkStoresLow16BitsAndKeepsOtherFields()
{
    auto networks = std::make_unique<TNetworkInfo>();
    networks->wNetworkNum = 2;
    networks->Info[1] = TNetworkItem{5, 6, "Net B"};
    TfrmTSSetting dialog;
    dialog.InitData(SampleStream(), *networks);
    dialog.show();
    dialog.FM1->clear();
    QTest::keyClicks(dialog.FM1, "700001");  // a sixth digit cannot be typed
    QCOMPARE(dialog.FM1->text(), QString("70000"));
    dialog.Fm2->setText("99999");
    dialog.FM4->setText("30000");
    dialog.FC3->setCurrentIndex(31);
    dialog.FC2->setCurrentText("AUTO");
    dialog.OkClick();

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const TStreamDialogResult result = dialog.Result();
    const TTSItem& ts = result.Stream;
    QCOMPARE(ts.wTsId, uint16_t(4464));
    QCOMPARE(ts.wOrgNetworkId, uint16_t(34463));
    QCOMPARE(ts.SATTSInfo.dwSymbolRate, uint32_t(30000));
    QCOMPARE(ts.wAntennaIndex, uint16_t(31));
    QCOMPARE(ts.SATTSInfo.ucFEC, uint8_t(5));
    QCOMPARE(ts.pNetworkIndex, 1);
    QCOMPARE(ts.SATTSInfo.wPosition, uint16_t(9));
    QCOMPARE(ts.dwSmaTVDiff, uint32_t(77));
    QCOMPARE(result.Network.szNetworkName, std::string("Net B"));
    QCOMPARE(result.Network.wNetworkId, uint16_t(5));
}

void StreamAntennaTest::streamBadFieldKeepsOpenButCancelAlwaysCloses()
{
    auto networks = std::make_unique<TNetworkInfo>();
    TfrmTSSetting dialog;
    dialog.InitData(SampleStream(), *networks);
    dialog.show();
    dialog.FM3->clear();
    QString shown;
    test::AnswerNextMessageBox(shown);
    dialog.OkClick();
    QCOMPARE(shown, QString("'' is not a valid integer value"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.Result().Stream.wTsId, uint16_t(0));  // nothing taken: the sample's ID is 1001
    dialog.hide();

    const int escaped = test::ExecWith(dialog, [&] { QTest::keyClick(dialog.FM3, Qt::Key_Escape); });
    QCOMPARE(escaped, int(QDialog::Rejected));
    TfrmQAMTSSetting cable;
    cable.InitData(SampleStream());
    const int cancelled = test::ExecWith(cable, [&] {
        cable.Fe1->setText("x");
        test::Button(cable, "CANCEL")->click();
    });
    QCOMPARE(cancelled, int(QDialog::Rejected));
}

void StreamAntennaTest::cableStreamConstellationCountsFromOne()
{
    TTSItem ts = SampleStream();
    ts.SATTSInfo.ucFEC = 3;
    TfrmQAMTSSetting dialog;
    QCOMPARE(dialog.windowTitle(), QString("TS Setting"));
    dialog.InitData(ts);
    QCOMPARE(dialog.FC1->currentText(), QString("64-QAM"));
    QCOMPARE(dialog.Result().wTsId, uint16_t(1001));  // copied whole on InitData
    dialog.FC1->setCurrentText("AUTO");
    dialog.Fe1->setText("$1F4");
    dialog.FM1->setText("65536");
    dialog.OkClick();
    const TTSItem& out = dialog.Result();
    QCOMPARE(out.SATTSInfo.ucFEC, uint8_t(6));
    QCOMPARE(out.SATTSInfo.dwFrequency, uint32_t(500));
    QCOMPARE(out.wTsId, uint16_t(0));
    QCOMPARE(out.wAntennaIndex, uint16_t(4));
}

void StreamAntennaTest::antennaFrequencyAndUniversal()
{
    TApplicationState state;
    TfrmAntenna dialog(state);
    QCOMPARE(dialog.windowTitle(), QString("Antenna Setting"));
    TAntennaSetting antenna;
    antenna.dwLNBFreq = kUniversalLNB;
    antenna.wPosition = 3;
    antenna.wMovement = 4;
    antenna.ucMotorControl = 5;
    antenna.ucDiseqcCmd = 6;
    dialog.InitData(antenna);
    QCOMPARE(dialog.FE2->currentText(), QString("UNIVERSAL"));
    QCOMPARE(dialog.MakeData().dwLNBFreq, kUniversalLNB);

    antenna.dwLNBFreq = 0x01002616;
    dialog.InitData(antenna);
    QCOMPARE(dialog.FE2->currentText(), QString("9750"));
    const TAntennaSetting out = dialog.MakeData();
    QCOMPARE(out.dwLNBFreq, uint32_t(9750));  // the top byte is not kept
    QCOMPARE(std::tuple(out.wPosition, out.wMovement, out.ucMotorControl, out.ucDiseqcCmd),
             std::tuple(uint16_t(3), uint16_t(4), uint8_t(5), uint8_t(6)));

    dialog.FE2->setCurrentText("10 600");
    QCOMPARE(dialog.MakeData().dwLNBFreq, kUniversalLNB);
}

void StreamAntennaTest::antennaOtherSettingBits()
{
    TApplicationState state;
    TfrmAntenna dialog(state);
    TAntennaSetting antenna;
    antenna.ucOtherSetting = 0xC6;
    dialog.InitData(antenna);
    QCOMPARE(dialog.FC2->currentText(), QString("ENABLE"));
    QCOMPARE(dialog.FC3->currentText(), QString("ENABLE"));
    QCOMPARE(dialog.FC4->currentText(), QString("DiSEqC D"));
    QCOMPARE(dialog.FC5->currentText(), QString("DISABLE"));
    QCOMPARE(dialog.MakeData().ucOtherSetting, uint8_t(0xC6));

    antenna.ucOtherSetting = 0xC7;  // bit 0 is always cleared
    dialog.InitData(antenna);
    QCOMPARE(dialog.MakeData().ucOtherSetting, uint8_t(0xC6));

    dialog.FC2->setCurrentIndex(0);
    dialog.FC5->setCurrentIndex(1);
    dialog.FC4->setCurrentText("Tone Burst B");
    QCOMPARE(dialog.MakeData().ucOtherSetting, uint8_t(0x80 | 0x20 | (6 << 1)));

    antenna.ucOtherSetting = 0x1E;  // DiSEqC value 15: not in the list, kept as it was
    dialog.InitData(antenna);
    QCOMPARE(dialog.FC4->currentIndex(), -1);
    QCOMPARE(dialog.MakeData().ucOtherSetting, uint8_t(0x1E));
}

void StreamAntennaTest::antennaSatelliteChoice()
{
    TApplicationState state;
    SetSatellites(state, {"THOR", "ASTRA 1", "HOTBIRD"});
    TfrmAntenna dialog(state);
    TAntennaSetting antenna;
    antenna.ucSatelliteId = 3;
    antenna.szLNBName = "My Sat";
    dialog.InitData(antenna);
    QCOMPARE(dialog.FC1->itemText(0), QString("ASTRA 1"));  // sorted
    QCOMPARE(dialog.FC1->currentText(), QString("User Define"));
    QCOMPARE(dialog.FE1->text(), QString("My Sat"));
    QVERIFY(dialog.FE1->isEnabled());
    QCOMPARE(dialog.MakeData().ucSatelliteId, uint8_t(3));

    dialog.FC1->setCurrentText("THOR");
    QVERIFY(!dialog.FE1->isEnabled());
    TAntennaSetting out = dialog.MakeData();
    QCOMPARE(out.ucSatelliteId, uint8_t(0));
    QCOMPARE(out.szLNBName, std::string("My Sat"));

    antenna.ucSatelliteId = 5;
    dialog.InitData(antenna);
    QCOMPARE(dialog.FC1->currentIndex(), -1);
    QCOMPARE(dialog.MakeData().ucSatelliteId, uint8_t(5));

    QCOMPARE(TfrmAntenna::GetLangStr(state.Settings.AntennaLanguage, "User Define"), 3);
    QCOMPARE(TfrmAntenna::GetLangStr(state.Settings.AntennaLanguage, "ORION"), -1);
}

void StreamAntennaTest::serviceSelectRowsAndNumbering()
{
    auto services = std::make_unique<TServiceInfo>();
    services->wTVNum = 4;
    services->wRadioNum = 2;
    services->pServiceInfo[0] = Service(kServiceTypeRadio, "R1");
    services->pServiceInfo[1] = Service(kServiceTypeTV, "T1");
    services->pServiceInfo[2] = Service(kServiceTypeTV, "T2", 7);
    services->pServiceInfo[3] = Service(kServiceTypeRadio, "R2");
    services->pServiceInfo[4] = Service(kServiceTypeTV, "T3");
    services->pServiceInfo[5] = Service(kServiceTypeTV, "T4");

    TfrmServiceSelect dialog;
    QCOMPARE(dialog.windowTitle(), QString("Service Select Window"));
    dialog.InitData(kServiceTypeTV, *services, {});
    QCOMPARE(dialog.SG->rowCount(), 4);
    QCOMPARE(dialog.SG->item(2, 1)->text(), QString("T3"));
    QCOMPARE(dialog.SG->item(2, 2)->text(), QString("4"));
    dialog.SG->setRangeSelected(QTableWidgetSelectionRange(1, 0, 3, 2), true);
    dialog.SG->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 2), false);
    std::vector<TServiceChoice> chosen = dialog.MakeData();
    QCOMPARE(chosen.size(), std::size_t(3));
    QCOMPARE(chosen[0].TableIndex, 2);
    QCOMPARE(chosen[2].TableIndex, 5);
    QCOMPARE(chosen[0].ShownNumber, 2);
    QCOMPARE(chosen[2].ShownNumber, 4);

    // Fixed numbering: OP numbers shown, stored minus 1.
    TServiceSelectNumbering fixed{true, {101, 101, 7, 102, 102, 103}};
    dialog.InitData(kServiceTypeTV, *services, fixed);
    QCOMPARE(dialog.SG->item(0, 0)->text(), QString("101"));
    QCOMPARE(dialog.SG->item(1, 0)->text(), QString("7"));
    QCOMPARE(dialog.SG->item(2, 0)->text(), QString("102"));
    dialog.SG->clearSelection();
    dialog.SG->setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 2), true);
    chosen = dialog.MakeData();
    QCOMPARE(chosen.size(), std::size_t(2));
    QCOMPARE(chosen[0].ShownNumber, 6);
    QCOMPARE(chosen[1].ShownNumber, 101);

    dialog.InitData(kServiceTypeRadio, *services, {});
    QCOMPARE(dialog.SG->rowCount(), 2);
    QVERIFY(dialog.Chosen().empty());  // nothing is taken before OK
    test::Button(dialog, "OK")->click();
    QCOMPARE(dialog.Chosen().size(), std::size_t(1));  // the first row starts selected
    QCOMPARE(dialog.Chosen()[0].TableIndex, 0);
}

void StreamAntennaTest::uiPortTextAndOPNumbers()
{
    QCOMPARE(QtUiPort::DisplayText("This data is modified.\rDo you really exit?"),
             QString("This data is modified.\nDo you really exit?"));
    QCOMPARE(QtUiPort::DisplayText("a\r\nb\xe9"), QString::fromUtf8("a\nb\u00e9"));

    auto services = std::make_unique<TServiceInfo>();
    services->wTVNum = 3;
    services->pServiceInfo[0] = Service(kServiceTypeTV, "A");
    services->pServiceInfo[1] = Service(kServiceTypeTV, "B", 5);
    services->pServiceInfo[2] = Service(kServiceTypeTV, "C");
    QtUiPort port;
    QString shown;
    test::AnswerNextMessageBox(shown, QMessageBox::Cancel);
    QCOMPARE(port.MessageBox(MsgKind::Warning, "Same file exists.\rOverwrite it?", MsgButtons::OkCancel),
             MsgResult::Cancel);
    QCOMPARE(shown, QString("Same file exists.\nOverwrite it?"));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, port.ShowAntennaDialog(TAntennaSetting{}));
}

QTEST_MAIN(StreamAntennaTest)
#include "dialogs_stream_antenna_test.moc"
