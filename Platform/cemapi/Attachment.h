// An attachment of a message: its properties, read and written as the message's are. The store keeps what
// it is given; how the contents are reached is PR_ATTACH_METHOD's to say.
#pragma once

#include "PropObject.h"

namespace device::mapi
{

class Attachment final : public PropObject<IAttach>
{
  public:
    Attachment(int64_t message, uint32_t num) : m_message(message), m_num(num) {}

  protected:
    bool Implements(REFIID riid) const override { return riid == IID_IMAPIProp || riid == IID_IAttachment; }
    HRESULT ReadValues(std::vector<Value>* values) override;
    HRESULT WriteValues(const std::vector<Value>& values) override;

  private:
    int64_t m_message;
    uint32_t m_num;
};

} // namespace device::mapi
