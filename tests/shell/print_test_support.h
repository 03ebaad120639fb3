// Shared by the printing tests: documents with realistic tables, and the text
// of a PDF file page by page (pdftotext from poppler-utils).
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTest>
#include <memory>
#include <string>

#include "app_state.h"
#include "channel_document.h"
#include "ui_port.h"

namespace lumora::print::test {

// Document questions are not part of printing; every one is answered OK / no.
using QuietUi = NonInteractiveUiPort;

struct TestDocument {
    std::unique_ptr<TApplicationState> app = std::make_unique<TApplicationState>();
    QuietUi ui;
    std::unique_ptr<ChannelDocument> doc;

    explicit TestDocument(uint8_t model = 0)
    {
        app->Settings.SystemInfo.MODEL = model;
        doc = std::make_unique<ChannelDocument>(*app, ui);
        doc->InitAllData();
    }
    TChannelDatabase& db() { return doc->Database(); }

    int AddProvider(const std::string& name)
    {
        auto& t = db().ProviderInfo;
        t.Info[std::size_t(t.wProviderNum)].szProviderName = name;
        return t.wProviderNum++;
    }
    int AddTS(uint32_t frequency, uint32_t symbolRate, uint8_t polarization, uint8_t fec)
    {
        auto& t = db().TSInfo;
        TTSItem& ts = t.Info[std::size_t(t.wTSNum)];
        ts = TTSItem{};
        ts.SATTSInfo.dwFrequency = frequency;
        ts.SATTSInfo.dwSymbolRate = symbolRate;
        ts.SATTSInfo.ucPolarization = polarization;
        ts.SATTSInfo.ucFEC = fec;
        return t.wTSNum++;
    }
    // Appends a service (type 0 TV, 1 radio) with PIDs derived from its real index.
    int AddService(uint8_t type, const std::string& name, int32_t ts, int32_t provider)
    {
        auto& t = db().ServiceInfo;
        const int r = t.Count();
        TServiceItem& s = t.pServiceInfo[std::size_t(r)];
        s = TServiceItem{};
        s.ServiceType = type;
        s.szServiceName = name;
        s.pTSIndex = ts;
        s.pProviderIndex = provider;
        s.wVideoPID = uint16_t(1000 + r);
        s.wAudioPID = uint16_t(2000 + r);
        s.wPCRPID = uint16_t(3000 + r);
        (type == kServiceTypeTV ? t.wTVNum : t.wRadioNum)++;
        return r;
    }
    void AddFavorite(int group, int list, int32_t value)
    {
        TFavoriteItem& f = db().FavoriteInfo[group][list];
        f.Index[std::size_t(f.wIndexNum++)] = value;
    }
    // Builds the tree, which selects "All Service" and fills the grid.
    void Show() { doc->LoadTreeValue(); }
    void SelectRootChild(const std::string& root, const std::string& child)
    {
        for (int i = 0; i < doc->Tree1.RootCount(); ++i) {
            TTreeNode* node = doc->Tree1.Root(i);
            if (node->Caption != root)
                continue;
            for (int k = 0; k < node->ChildCount(); ++k)
                if (node->Child(k)->Caption == child)
                    doc->SelectNode(node->Child(k));
        }
    }
};

// Text of each page of a PDF file, laid out as printed.
inline QStringList PdfPages(const QString& file)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0) {
        qWarning("pdftotext (poppler-utils) failed or is missing: %s", qPrintable(pdftotext.errorString()));
        return {};
    }
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();  // the text ends with a form feed
    return pages;
}

// The document information of a PDF file (pdfinfo), e.g. "Title" and "Pages".
inline QString PdfInfo(const QString& file, const QString& key)
{
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {file});
    if (!pdfinfo.waitForFinished(60000))
        return {};
    const QRegularExpression line(QStringLiteral("^") + QRegularExpression::escape(key) + QStringLiteral(":\\s*(.*)$"),
                                  QRegularExpression::MultilineOption);
    const auto match = line.match(QString::fromUtf8(pdfinfo.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

// The lines of a page with runs of blanks made one blank; blank lines dropped.
inline QStringList CompactLines(const QString& page)
{
    QStringList lines;
    for (const QString& line : page.split(QLatin1Char('\n'))) {
        const QString compact = line.simplified();
        if (!compact.isEmpty())
            lines << compact;
    }
    return lines;
}

// A printed row as CompactLines shows it: the non-empty cells, one blank apart.
inline QString RowLine(const QStringList& cells)
{
    QStringList present;
    for (const QString& cell : cells)
        if (!cell.isEmpty())
            present << cell;
    return present.join(QLatin1Char(' '));
}

inline const QString kHeaderLine =
    QStringLiteral("No. Service Name Frequency Symbolrates Polar. FEC Video PID Audio PID PCR PID Provider Name");

}  // namespace lumora::print::test
