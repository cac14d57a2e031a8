#include "framework/PrintInfo.h"

#include <algorithm>

#include "framework/Printing.h"   // CPrintJob, whose owner this is

CPrintInfo::CPrintInfo() = default;
CPrintInfo::~CPrintInfo() = default;

UINT CPrintInfo::GetFirstPrintedPage() const { return std::max(m_nFromPage, m_nMinPage); }

UINT CPrintInfo::GetLastPrintedPage() const { return std::min(m_nToPage, m_nMaxPage); }
