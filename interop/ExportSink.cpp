#include "interop/ExportSink.h"

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}

int CSafeFileSink::Begin()
{
    m_nError = m_writer.Begin();
    m_buffer.reserve(kBufferSize);
    return m_nError;
}

void CSafeFileSink::Flush()
{
    if (m_nError == 0 && !m_buffer.empty())
        m_nError = m_writer.Write(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
}

void CSafeFileSink::Write(std::string_view bytes)
{
    if (m_nError != 0)
        return;
    if (m_buffer.size() + bytes.size() > kBufferSize)
        Flush();
    if (bytes.size() >= kBufferSize) {
        if (m_nError == 0)
            m_nError = m_writer.Write(bytes.data(), bytes.size());
        return;
    }
    m_buffer.append(bytes);
}

int CSafeFileSink::Commit()
{
    Flush();
    if (m_nError == 0)
        m_nError = m_writer.Commit();
    if (m_nError != 0)
        m_writer.Abort();
    return m_nError;
}
