#pragma once

#include "app/FirmwareProfile.h"

#include <QMessageBox>

#include <functional>
#include <optional>

class QComboBox;
class QWidget;
struct VekContext;

// The main window's firmware list: the free setting, then the packages of the
// package folder. Choosing an entry unpacks its package and shapes the window;
// a package that cannot be used is reported and the entry in use chosen again.
class FirmwarePackageList
{
public:
    FirmwarePackageList(QComboBox &list, VekContext &context, QWidget &window);

    // The list read from the package folder, nothing chosen yet.
    void fill();
    // The list read again (packages created meanwhile appear); the entry in use
    // stays chosen, without being applied again.
    void refresh();
    void select(int index);
    // The free setting's entry worded in the current language.
    void retranslate();
    // Applies the entry the list shows.
    void apply();
    // Called once an entry's settings are in force.
    void setOnApplied(std::function<void()> applied) { applied_ = std::move(applied); }

private:
    std::optional<FirmwareProfile> loadPackageProfile();
    // A message that does not hold up the caller (a project goes on opening).
    void tell(QMessageBox::Icon icon, const char *name, const QString &text);

    QComboBox &list_;
    VekContext &context_;
    QWidget &window_;
    int entryInUse_ = 0;
    std::function<void()> applied_;
};
