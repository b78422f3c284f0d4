#pragma once

class QDialog;

namespace brindle {

// Runs a dialog modally and returns its result (QDialog::Accepted or
// Rejected). Tests replace it so no test ever blocks on a window.
class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    virtual int Run(QDialog& dialog) = 0;
};

class ExecModalRunner final : public ModalRunner {
public:
    int Run(QDialog& dialog) override;
};

ModalRunner& DefaultModalRunner();

} // namespace brindle
