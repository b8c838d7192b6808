#include "OpenFile.h"

#include <QFile>

#include <string>

std::FILE* openFile(const QString& path, const char* mode)
{
#ifdef Q_OS_WIN
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return _wfopen(reinterpret_cast<const wchar_t*>(path.utf16()), wideMode.c_str());
#else
    return std::fopen(QFile::encodeName(path).constData(), mode);
#endif
}
