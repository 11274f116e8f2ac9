#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;
class WindowPrompts;
struct VekContext;
enum class TransferWindow;

// Opens the transfer window that the chosen package's transfer type names
// (programmer, bootloader, first load, compatible family), or says why none opens.
class TransferWindowLauncher
{
public:
    TransferWindowLauncher(VekContext &context, QWidget &parent);

    // How the windows are shown (modally by default) and whom they ask (the
    // program's own prompts by default); tests answer in their place.
    void setShow(std::function<void(QDialog &)> show) { show_ = std::move(show); }
    void setPrompts(WindowPrompts *prompts) { prompts_ = prompts; }

    // `packageChosen` false: no package is chosen, nothing opens.
    // `freeLine` closes the live link's port before a window opens.
    void launch(bool packageChosen, const std::function<void()> &freeLine);

private:
    WindowPrompts &prompts() const;
    void showMessage(const QString &text);
    void open(TransferWindow window);

    VekContext &context_;
    QWidget &parent_;
    std::function<void(QDialog &)> show_;
    WindowPrompts *prompts_ = nullptr;
};
