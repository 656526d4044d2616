// Finds a help topic's page and shows it in a wxHtmlWindow, with a Close button.
#include "gui/HelpViewer.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/html/htmlwin.h>
#include <wx/sizer.h>

#include "gui/Resources.h"
#include "gui/ScreenFit.h"

std::string HelpTopicOf(const std::string& helpText) {
    const size_t marker = helpText.find("::/");
    if (marker == std::string::npos)
        return std::string();
    const size_t start = marker + 3;
    const size_t end = helpText.find(".html", start);
    if (end == std::string::npos)
        return std::string();
    std::string topic = helpText.substr(start, end - start);
    // Only a plain page name: nothing that could lead out of the help folder.
    if (topic.empty() || topic.find('/') != std::string::npos ||
        topic.find('\\') != std::string::npos || topic.find("..") != std::string::npos) {
        return std::string();
    }
    return topic;
}

std::string HelpPagePath(const std::string& topic) {
    if (topic.empty())
        return std::string();
    const std::string path = ResourcePath("help/" + topic + ".html");
    return wxFileName::FileExists(wxString::FromUTF8(path)) ? path : std::string();
}

void ShowHelpPage(const std::string& pagePath, wxWindow* modalParent, wxWindow* centreOn) {
    auto* window =
        new wxDialog(modalParent, wxID_ANY, "Quillstead Help", wxDefaultPosition, wxSize(640, 560),
                     wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMAXIMIZE_BOX);
    auto* html = new wxHtmlWindow(window, wxID_ANY);
    html->LoadFile(wxFileName(wxString::FromUTF8(pagePath)));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(html, 1, wxEXPAND);
    sizer->Add(new wxButton(window, wxID_CANCEL, "Close"), 0, wxALIGN_RIGHT | wxALL, 8);
    window->SetSizer(sizer);
    window->SetEscapeId(wxID_CANCEL);
    wxSize size = window->GetSize();
    size.DecTo(WorkArea(*window).GetSize());
    window->SetSize(size);
    CentreOn(*window, centreOn);
    if (modalParent) {
        window->ShowModal();
        window->Destroy();
    } else {
        window->Bind(
            wxEVT_BUTTON, [window](wxCommandEvent&) { window->Destroy(); }, wxID_CANCEL);
        window->Bind(wxEVT_CLOSE_WINDOW, [window](wxCloseEvent&) { window->Destroy(); });
        window->Show();
    }
}
