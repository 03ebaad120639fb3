// A UiPort for tests: answers come from a script, every question is recorded.
// Also small builders for documents with realistic tables.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app_state.h"
#include "channel_document.h"
#include "ui_port.h"

namespace lumora::test {

struct RecordedMessage {
    MsgKind kind;
    std::string text;
    MsgButtons buttons;
};

class ScriptedUi : public UiPort {
public:
    // Answers for the next message boxes, in order; Ok when the script is empty.
    std::deque<MsgResult> messageAnswers;
    // Answers for the next text queries: the typed text, or nothing for Cancel.
    struct QueryAnswer {
        bool ok;
        std::string text;
    };
    std::deque<QueryAnswer> queryAnswers;
    // What the dialogs give back; nothing: the person cancels.
    std::optional<TAntennaSetting> antennaAnswer;
    std::optional<TStreamDialogResult> streamAnswer;
    std::optional<TTSItem> cableStreamAnswer;
    std::optional<std::vector<TServiceChoice>> selectionAnswer;
    std::optional<TMenuDialogResult> menuAnswer;

    std::vector<RecordedMessage> messages;
    std::vector<std::string> queries;

    MsgResult MessageBox(MsgKind kind, const std::string& text, MsgButtons buttons) override
    {
        messages.push_back({kind, text, buttons});
        if (messageAnswers.empty())
            return MsgResult::Ok;
        MsgResult answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }

    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override
    {
        queries.push_back(caption + "|" + prompt);
        if (queryAnswers.empty())
            return false;
        QueryAnswer answer = queryAnswers.front();
        queryAnswers.pop_front();
        if (answer.ok)
            value = answer.text;
        return answer.ok;
    }

    std::optional<TAntennaSetting> ShowAntennaDialog(const TAntennaSetting&) override { return antennaAnswer; }
    std::optional<TStreamDialogResult> ShowTSSettingDialog(const TTSItem&, const TNetworkInfo&) override
    {
        return streamAnswer;
    }
    std::optional<TTSItem> ShowQAMTSSettingDialog(const TTSItem&) override { return cableStreamAnswer; }
    std::optional<std::vector<TServiceChoice>> ShowServiceSelectDialog(uint8_t, const TServiceInfo&,
                                                                       const std::vector<int32_t>&) override
    {
        return selectionAnswer;
    }
    std::optional<TMenuDialogResult> ShowMenuConfigDialog(const TMenuConfigItem&, const TMenuLanguageNames&) override
    {
        return menuAnswer;
    }
};

// A document with its own application state and scripted UI.
struct DocumentFixture {
    std::unique_ptr<TApplicationState> app = std::make_unique<TApplicationState>();
    ScriptedUi ui;
    std::unique_ptr<ChannelDocument> doc;

    explicit DocumentFixture(uint8_t flashType = 0, uint8_t model = 0)
    {
        app->Settings.SystemInfo.FLASHTYPE = flashType;
        app->Settings.SystemInfo.MODEL = model;
        doc = std::make_unique<ChannelDocument>(*app, ui);
        doc->InitAllData();
    }

    TChannelDatabase& db() { return doc->Database(); }

    int AddNetwork(const std::string& name)
    {
        auto& t = db().NetworkInfo;
        t.Info[std::size_t(t.wNetworkNum)].szNetworkName = name;
        return t.wNetworkNum++;
    }
    int AddProvider(const std::string& name)
    {
        auto& t = db().ProviderInfo;
        t.Info[std::size_t(t.wProviderNum)].szProviderName = name;
        return t.wProviderNum++;
    }
    int AddTS(uint16_t antenna, int32_t network, uint32_t frequency = 11778)
    {
        auto& t = db().TSInfo;
        TTSItem& ts = t.Info[std::size_t(t.wTSNum)];
        ts = TTSItem{};
        ts.wAntennaIndex = antenna;
        ts.pNetworkIndex = network;
        ts.SATTSInfo.dwFrequency = frequency;
        ts.SATTSInfo.dwSymbolRate = 27500;
        return t.wTSNum++;
    }
    // Appends a service of `type` (0 TV, 1 radio).
    int AddService(uint8_t type, const std::string& name, int32_t ts = 0, int32_t provider = -1,
                   uint16_t serviceNumber = 0)
    {
        auto& t = db().ServiceInfo;
        int r = t.Count();
        TServiceItem& s = t.pServiceInfo[std::size_t(r)];
        s = TServiceItem{};
        s.ServiceType = type;
        s.szServiceName = name;
        s.pTSIndex = ts;
        s.pProviderIndex = provider;
        s.wServiceNumber = serviceNumber;
        s.wVideoPID = uint16_t(100 + r);
        s.wAudioPID = uint16_t(200 + r);
        s.wPCRPID = uint16_t(300 + r);
        s.wServiceId = uint16_t(400 + r);
        s.wPmtPID = uint16_t(500 + r);
        (type == kServiceTypeTV ? t.wTVNum : t.wRadioNum)++;
        return r;
    }
    void AddFavorite(int group, int list, int32_t value)
    {
        TFavoriteItem& f = db().FavoriteInfo[group][list];
        f.Index[std::size_t(f.wIndexNum++)] = value;
    }

    // Selects the first node with this tag at this level (0 roots, 1 children).
    void Select(uint32_t tag, int level = 1)
    {
        doc->SelectNode(doc->Tree1.Find([&](const TTreeNode& n) { return n.Tag == tag && n.Level() == level; }));
    }
    const std::string& Cell(int col, int row) const { return doc->SG.Cell(col, row); }
    // The cells of one column over all data rows.
    std::vector<std::string> Column(int col) const
    {
        std::vector<std::string> cells;
        for (int row = 1; row < doc->SG.RowCount(); ++row)
            cells.push_back(doc->SG.Cell(col, row));
        return cells;
    }
};

}  // namespace lumora::test
