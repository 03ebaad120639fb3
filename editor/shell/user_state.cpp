#include "user_state.h"

#include <QDir>
#include <QSettings>

namespace lumora {

namespace {
constexpr const char* kRecentKey = "RecentFiles/files";
constexpr const char* kGeometryKey = "MainWindow/geometry";
constexpr const char* kWindowStateKey = "MainWindow/state";
constexpr const char* kSplitterKey = "Document/splitter";
constexpr const char* kColumnsKey = "Document/columns";
constexpr const char* kArrangedKey = "Document/arranged";
}  // namespace

QStringList WithRecentFile(const QStringList& recent, const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    QStringList list{clean};
    for (const QString& entry : recent)
        if (entry != clean && list.size() < kRecentFileCount)
            list << entry;
    return list;
}

TUserState::TUserState(const QString& fileName)
{
    if (fileName.isEmpty())
        return;
    settings_ = std::make_unique<QSettings>(fileName, QSettings::IniFormat);
    recent_ = settings_->value(kRecentKey).toStringList().mid(0, kRecentFileCount);
}

TUserState::~TUserState() = default;

QString TUserState::DefaultFileName()
{
    // The same folder as the user's own LV32.cfg.
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("LumoraV3"), QStringLiteral("LumoraV3"))
        .fileName();
}

void TUserState::AddRecentFile(const QString& path)
{
    recent_ = WithRecentFile(recent_, path);
    SetValue(kRecentKey, recent_);
}

void TUserState::ClearRecentFiles()
{
    recent_.clear();
    SetValue(kRecentKey, recent_);
}

QByteArray TUserState::MainWindowGeometry() const { return Value(kGeometryKey); }
QByteArray TUserState::MainWindowState() const { return Value(kWindowStateKey); }
QByteArray TUserState::DocumentSplitter() const { return Value(kSplitterKey); }
QByteArray TUserState::DocumentColumns() const { return Value(kColumnsKey); }
bool TUserState::DocumentsArranged() const { return Value(kArrangedKey) == "true"; }
void TUserState::SetDocumentsArranged(bool arranged) { SetValue(kArrangedKey, arranged); }

void TUserState::SetMainWindow(const QByteArray& geometry, const QByteArray& state)
{
    SetValue(kGeometryKey, geometry);
    SetValue(kWindowStateKey, state);
}

void TUserState::SetDocumentLayout(const QByteArray& splitter, const QByteArray& columns)
{
    SetValue(kSplitterKey, splitter);
    SetValue(kColumnsKey, columns);
}

QByteArray TUserState::Value(const char* key) const
{
    return settings_ ? settings_->value(QLatin1String(key)).toByteArray() : QByteArray();
}

// Written at once: what was remembered survives a crash.
void TUserState::SetValue(const char* key, const QVariant& value)
{
    if (!settings_)
        return;
    settings_->setValue(QLatin1String(key), value);
    settings_->sync();
}

}  // namespace lumora
