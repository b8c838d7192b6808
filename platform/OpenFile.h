#pragma once

#include <QString>

#include <cstdio>
#include <memory>

// std::fopen for a path of any characters: Windows takes the UTF-16 path (its narrow fopen would
// mangle Cyrillic names), elsewhere the path in the file system's encoding. errno tells a failure.
std::FILE* openFile(const QString& path, const char* mode);

// The one owner of a C stream: closes it when it goes.
struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;
