// The program's icons: as a QIcon for its windows, as PNG bytes for the desktop registration.
#include <QFile>
#include <QIcon>

#include "framework/qt/QtUserInterface.h"

std::string CQtUserInterface::LoadIconImage(UINT nIDResource, int nSize)
{
    const char* name = AfxIconResourceName(nIDResource);
    if (name == nullptr || (nSize != 16 && nSize != 32))
        return {};
    QFile file(QStringLiteral(":/fretly/%1-%2.png").arg(QLatin1String(name)).arg(nSize));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QIcon AfxLoadIcon(UINT nIDResource)
{
    QIcon icon;
    if (const char* name = AfxIconResourceName(nIDResource)) {
        for (int nSize : {32, 16})
            icon.addFile(QStringLiteral(":/fretly/%1-%2.png").arg(QLatin1String(name)).arg(nSize), QSize(nSize, nSize));
    }
    return icon;
}
