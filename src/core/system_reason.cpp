#include "core/system_reason.h"

#include <QCoreApplication>
#include <cerrno>

namespace {

struct Reason {
    int number;
    const char* italian;
};

// The cases a file written next to others meets: a missing or wrong path, no permission, a
// full or read-only disk, a name the file system refuses.
const Reason reasons[] = {
    {ENOENT, "file o cartella inesistente"},
    {ENOTDIR, "una parte del percorso non è una cartella"},
    {EISDIR, "è una cartella"},
    {EACCES, "permesso negato"},
    {EPERM, "operazione non permessa"},
    {EROFS, "il disco è di sola lettura"},
    {ENOSPC, "spazio esaurito sul disco"},
    {EDQUOT, "spazio concesso all'utente esaurito"},
    {EFBIG, "file troppo grande"},
    {EIO, "errore di lettura o scrittura sul disco"},
    {ENAMETOOLONG, "nome troppo lungo"},
    {EINVAL, "nome o operazione non validi per il disco"},
    {ELOOP, "troppi collegamenti simbolici nel percorso"},
    {EMFILE, "troppi file aperti dal programma"},
    {ENFILE, "troppi file aperti nel sistema"},
    {EBUSY, "file o dispositivo occupato"},
    {ETXTBSY, "file in uso"},
};

} // namespace

QString italianSystemReason(const QString& reported) {
    for (const Reason& reason : reasons)
        if (reported == qt_error_string(reason.number))
            return QString::fromUtf8(reason.italian);
    // What a device says when nobody told it why.
    if (reported == QCoreApplication::translate("QIODevice", "Unknown error"))
        return QStringLiteral("motivo sconosciuto");
    return reported;
}
