#pragma once
// Where an export's bytes go: a string (tests, small documents) or a file written safely
// in pieces, so a song of any length is exported in constant memory.
#include <string>
#include <string_view>

#include "desktop/SafeFileWriter.h"

class CExportSink {
public:
    virtual ~CExportSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

class CStringSink : public CExportSink {
public:
    void Write(std::string_view bytes) override { m_str.append(bytes); }
    std::string m_str;
};

// Buffers the bytes and hands them to a CSafeFileWriter; the first error is kept and
// everything after it dropped. The old file stays until Commit succeeds.
class CSafeFileSink : public CExportSink {
public:
    explicit CSafeFileSink(const std::string& path) : m_writer(path) {}
    // 0 or an error (errno or kSafeSave...).
    int Begin();
    void Write(std::string_view bytes) override;
    // Writes what is buffered and makes it the file's content; 0 or the first error.
    int Commit();

private:
    void Flush();

    CSafeFileWriter m_writer;
    std::string m_buffer;
    int m_nError = 0;
};
