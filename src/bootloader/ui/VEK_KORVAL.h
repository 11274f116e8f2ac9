#pragma once

#include "bootloader/CompatibleFamilyUpload.h"
#include "icsp/ui/TransferFrame.h"

#include <memory>
#include <optional>

class ByteLink;
class QPlainTextEdit;

// The compatible-family window: link to a module of the compatible family and
// upload of its two tables. The upload runs as a job; its tables and texts are
// kept and shown once it completes, and stay in view until another completes.
class VEK_KORVAL : public TransferFrame
{
    Q_OBJECT
public:
    explicit VEK_KORVAL(VekContext &context, QWidget *parent = nullptr,
                        WindowPrompts *prompts = nullptr);

    static inline const QString LinkSettings = QStringLiteral("9600,N,8,1");

    QPushButton *BP_DLOAD = nullptr;
    QPushButton *BP_Annuler = nullptr;  // stops a running upload
    QPlainTextEdit *T_Tables = nullptr; // the tables of the last upload, if it completed

    // Connects, or disconnects while the link is open.
    void BP_tst_Click();
    // Asks the module for its tables, off the GUI thread.
    void BP_UPLOAD_Click();
    void BP_Annuler_Click();

    bool linkOpen() const { return m_link != nullptr; }
    // The tables of the last complete upload, kept until the next one completes.
    const std::optional<CompatibleFamilyTables> &tables() const { return m_tables; }
    // Time given to each byte of the answer (tests shorten it).
    qint64 byteTimeoutMs = CompatibleFamilyUpload::DefaultByteTimeoutMs;

protected:
    bool buildsProgrammerLabel() const override { return false; }
    QString caption() const override;
    std::optional<QString> initialPanel3() const override;
    void InitLangue() override;
    QList<QWidget *> lockedWhileRunning() const override;

private:
    void connectLink();
    void disconnectLink();
    void uploadEnded(const CompatibleFamilyUpload &upload);
    QString stopReason(const CompatibleFamilyUpload &upload) const;
    void showTables();

    // The open port, null while disconnected; an upload holds it while it runs.
    std::shared_ptr<ByteLink> m_link;
    std::optional<CompatibleFamilyTables> m_tables;
};
