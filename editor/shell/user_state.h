// What the editor remembers for the person between runs, apart from the
// receiver settings in LV32.cfg: the recently used files, the main window's
// geometry and the document windows' tree width and grid column widths.
// Kept with QSettings in the per-user configuration
// ($XDG_CONFIG_HOME/LumoraV3/LumoraV3.ini); written as soon as it changes.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

namespace lumora {

inline constexpr int kRecentFileCount = 8;

// `recent` with `path` put first, once, cut to kRecentFileCount entries.
QStringList WithRecentFile(const QStringList& recent, const QString& path);

class TUserState {
public:
    // The state in the ini file at `fileName`; an empty name remembers
    // nothing between runs (the recent files are kept for this run only).
    explicit TUserState(const QString& fileName);
    ~TUserState();

    // The per-user file the program uses.
    static QString DefaultFileName();

    QStringList RecentFiles() const { return recent_; }
    void AddRecentFile(const QString& path);
    void ClearRecentFiles();

    QByteArray MainWindowGeometry() const;
    QByteArray MainWindowState() const;
    void SetMainWindow(const QByteArray& geometry, const QByteArray& state);

    // QSplitter::saveState of the tree and grid, QHeaderView::saveState of the grid.
    QByteArray DocumentSplitter() const;
    QByteArray DocumentColumns() const;
    void SetDocumentLayout(const QByteArray& splitter, const QByteArray& columns);
    // Whether the person last tiled or cascaded the document windows rather
    // than maximising one: a lone document then opens unmaximised.
    bool DocumentsArranged() const;
    void SetDocumentsArranged(bool arranged);

private:
    QByteArray Value(const char* key) const;
    void SetValue(const char* key, const QVariant& value);

    std::unique_ptr<QSettings> settings_;  // null: nothing is kept
    QStringList recent_;
};

}  // namespace lumora
