// Save, Save As and the save prompt of the document base.
#include "framework/Document.h"
#include "resources/Resource.h"

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
ON_COMMAND(ID_FILE_SAVE, OnFileSave)
ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

// Placeholder until the file dialogs come with the running application.
bool CDocument::SaveModified() { return true; }
bool CDocument::DoSave(const std::string& path, bool) { return !path.empty() && OnSaveDocument(path); }
bool CDocument::DoFileSave() { return DoSave(m_strPathName); }
void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoSave({}); }
