#pragma once
// Printing on Qt: QPrinter for CUPS printers and PDF files alike, QPrintDialog for Print,
// QPageSetupDialog for Print Setup, QPrintPreviewDialog for preview. The print loop is
// the framework's (CView); this only opens jobs and shows the platform's windows.
#include <QPrinter>

#include <functional>
#include <memory>

#include "framework/Printing.h"

class QWidget;

class CQtPrintingSystem : public CPrintingSystem {
public:
    // owner() gives the window that dialogs belong to (may give nullptr).
    explicit CQtPrintingSystem(std::function<QWidget*()> owner);
    ~CQtPrintingSystem() override;
    CQtPrintingSystem(const CQtPrintingSystem&) = delete;
    CQtPrintingSystem& operator=(const CQtPrintingSystem&) = delete;

    std::unique_ptr<CPrintJob> OpenJob(CPrintInfo& info) override;
    void PrintSetup() override;

    // The printer Print, Print Setup and preview share, so that a choice made in one is
    // what the next job uses.
    QPrinter& SharedPrinter();

    // A printer name that names a PDF file instead ("/pt song.tab out.pdf").
    static bool IsPdfFileName(const std::string& name);
    // False on the platforms that show nothing to anyone (offscreen, minimal).
    static bool HasDisplay();

private:
    QWidget* Owner() const { return m_owner ? m_owner() : nullptr; }

    std::function<QWidget*()> m_owner;
    std::unique_ptr<QPrinter> m_pPrinter;
};
