// The benchmarks' wrapper of a progress dialog: it hands everything to the seam's own
// window, so a benchmark overrides only the cancel poll it times or presses.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/Ui.h"

class ForwardingProgress : public ProgressWindow {
  public:
    explicit ForwardingProgress(std::unique_ptr<ProgressWindow> inner)
        : m_inner(std::move(inner)) {}
    void SetTitle(const std::string& t) override { m_inner->SetTitle(t); }
    void SetItemText(int id, const std::string& t) override { m_inner->SetItemText(id, t); }
    void SetIcon(int id, const Icon& i) override { m_inner->SetIcon(id, i); }
    void SetPos(int pos) override { m_inner->SetPos(pos); }
    bool PollCancel() override { return m_inner->PollCancel(); }
    void Close() override { m_inner->Close(); }

  protected:
    std::unique_ptr<ProgressWindow> m_inner;
};
