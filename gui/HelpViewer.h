// The help topics: the help buttons pass the install folder followed by
// "Quillstead.chm::/<topic>.html>Main"; the topic's page is the program's own
// res/help/<topic>.html, shown in a small HTML window.
#pragma once

#include <string>

class wxWindow;

// The topic named by a help text ("filechanges" of "...Quillstead.chm::/filechanges.html>Main");
// empty when the text names none.
std::string HelpTopicOf(const std::string& helpText);

// The page of a topic; empty when the program has no page for it.
std::string HelpPagePath(const std::string& topic);

// Shows the page, in the middle of `centreOn`. While a modal dialog is up (`modalParent`
// not null) the help window is modal over it, as nothing else could take input then;
// otherwise it is a window of its own.
void ShowHelpPage(const std::string& pagePath, wxWindow* modalParent, wxWindow* centreOn);
