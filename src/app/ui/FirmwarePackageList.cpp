#include "app/ui/FirmwarePackageList.h"

#include "app/VekContext.h"
#include "app/ui/WindowProfile.h"
#include "base/MainSettingsLoader.h"
#include "base/VEK_LANGUAGE.h"
#include "base/ui/WindowPrompts.h"
#include "firmware/VEK_Gestion_OS.h"

#include <QComboBox>
#include <QMessageBox>
#include <QSettings>

#include <algorithm>
#include <memory>

using VEK_LANGUAGE::GetLanguageText;

FirmwarePackageList::FirmwarePackageList(QComboBox &list, VekContext &context, QWidget &window)
    : list_(list), context_(context), window_(window)
{}

void FirmwarePackageList::fill()
{
    const QSignalBlocker block(list_);
    list_.clear();
    list_.addItems(VEK_Gestion_OS::ListerOS());
}

void FirmwarePackageList::refresh()
{
    const FirmwareListRefresh refreshed =
        KeepEntryInUse(VEK_Gestion_OS::ListerOS(), list_.itemText(entryInUse_));
    const QSignalBlocker block(list_);
    list_.clear();
    list_.addItems(refreshed.entries);
    list_.setCurrentIndex(refreshed.chosen);
    entryInUse_ = refreshed.chosen;
}

void FirmwarePackageList::retranslate()
{
    if (list_.count() > 0)
        list_.setItemText(0, VEK_Gestion_OS::ParametrageLibre());
}

void FirmwarePackageList::select(int index)
{
    list_.setCurrentIndex(index);
    apply();
}

// The free setting makes every engine setting available and takes the programmer
// and the table addresses from the user's settings; a package is unpacked and
// its description shapes the window.
void FirmwarePackageList::apply()
{
    const int entry = std::max(list_.currentIndex(), 0);
    std::optional<FirmwareProfile> profile;
    if (entry == 0) {
        const std::unique_ptr<QSettings> store = MainSettingsLoader::OpenStore();
        profile = FreeSettingProfile([&store](const QString &key, const QString &fallback) {
            return store->value(QStringLiteral("ICSP/") + key, fallback).toString();
        });
    } else {
        profile = loadPackageProfile();
        if (!profile)
            return;
    }
    entryInUse_ = entry;
    context_.TypeVersionOS = list_.currentText();
    ApplyProfileSettings(*profile, context_);
    ApplyWindowProfile(window_, *profile);
    if (applied_)
        applied_();
}

void FirmwarePackageList::tell(QMessageBox::Icon icon, const char *name, const QString &text)
{
    WindowPrompts::system().notify(&window_, icon, GetLanguageText("MessWARNING"), text,
                                   QLatin1String(name));
}

std::optional<FirmwareProfile> FirmwarePackageList::loadPackageProfile()
{
    PackageChoice choice = LoadPackageProfile(list_.currentText());
    if (!choice.profile) {
        const QSignalBlocker block(list_);
        list_.setCurrentIndex(entryInUse_);
        tell(QMessageBox::Critical, "FirmwareError", choice.message);
    } else if (!choice.notes.isEmpty()) {
        tell(QMessageBox::Warning, "FirmwareNotes", choice.notes);
    }
    return std::move(choice.profile);
}
