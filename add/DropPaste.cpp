// Placeholder until the drop and paste commands land.
#include "database/ListView.h"

void CListview::AddOneFileToDatabase(const std::string&) {}
void CListview::OnDropFiles(const std::vector<std::string>&) {}
void CListview::OnPasteFiles() {}
