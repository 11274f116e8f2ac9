#pragma once

#include "platform/ByteLink.h"
#include "platform/DeviceResult.h"
#include "platform/RawTty.h"

#include <memory>

// The byte link over a raw tty: poll() for the deadlines, no busy waiting.
class TtyByteLink final : public ByteLink
{
public:
    explicit TtyByteLink(std::unique_ptr<RawTty> tty) : m_tty(std::move(tty)) {}
    static DeviceResult<TtyByteLink> open(const QString &device, const QString &settingsText);

    Status write(const QByteArray &bytes) override;
    Status read(QByteArray &into, qsizetype count, qint64 timeoutMs) override;
    qsizetype available() override;
    void discardInput() override;
    QString errorText() const override { return m_error; }

    const RawTty &tty() const { return *m_tty; }

private:
    Status fail(int errnum);

    std::unique_ptr<RawTty> m_tty;
    QString m_error;
};
