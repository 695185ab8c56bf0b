#pragma once

// Session files: the session as a small UTF-8 JSON text, and the same text carried by a figure
// as its recipe. Reads and writes files; no widgets.

#include "core/session.h"
#include "figure/animation.h"
#include "figure/lens_view.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

inline const QString sessionFormatName = QStringLiteral("curve-zor-pun-session");
inline constexpr int sessionFormatVersion = 1;
inline const QString sessionSuffix = QStringLiteral("zorpun");

// The limits past which a session file is refused rather than read.
inline constexpr qint64 largestSessionFile = 32 * 1024 * 1024;
inline constexpr std::size_t mostSessionEntries = 1'000'000;

// A session as a file holds it.
struct SessionRecord {
    SessionControls controls;
    std::vector<SessionEntry> history;
    QString program; // the version of the program that wrote it
    // An animation's frame, or a whole animation, carries its parameter, range and step.
    std::optional<Animation> animation;
    // A figure saved from the lens carries the view it shows.
    std::optional<LensView> view = std::nullopt;
};

// The session as a session file's text, with the animation it belongs to and the view it was
// seen through, if any.
QByteArray encodeSession(const SessionControls& controls, const std::vector<SessionEntry>& history,
                         const std::optional<Animation>& animation = std::nullopt,
                         const std::optional<LensView>& view = std::nullopt);

// A session file's text read back; what is wrong with it, in Italian, when it cannot be.
// Numbers typed by the user are read as the constants window reads them, in the locale the
// file names.
std::variant<SessionRecord, QString> decodeSession(const QByteArray& text);

// A session file, or a PNG, SVG, PDF or GIF figure that carries one; the message names the
// file.
std::variant<SessionRecord, QString> readSessionFile(const QString& path);

// Writes through a QSaveFile: all of it or, with the reason in Italian, nothing.
std::optional<QString> writeSessionFile(const QString& path, const QByteArray& text);

// The recipe as a figure carries it, and found again in a figure's bytes (SVG and PDF).
QByteArray recipeMetadataXml(const QByteArray& session);
std::optional<QByteArray> findRecipe(const QByteArray& figure);
// The PNG text chunk's key.
inline const QString recipeKey = QStringLiteral("curve-zor-pun-session");
