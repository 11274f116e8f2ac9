#pragma once

#include "firmware/UpdatePackageFields.h"
#include "firmware/ui/PackageEditorWindow.h"

// The update package editor: identity, chip and firmware of a ".XMJ" package.
class VEK_New_MJ : public PackageEditorWindow
{
    Q_OBJECT
public:
    VEK_New_MJ(VekContext &context, PackageEditorServices services, QWidget *parent = nullptr,
               WindowPrompts *prompts = nullptr);

    void BP_OK_Click() override;

    UpdatePackageFields fields() const;

private:
    void showDescription() override;
    void buildForm();
    void InitLangue();
};
