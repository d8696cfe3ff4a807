#include "skin/core/sFormsSeam.h"

#include <algorithm>

#include "skin/core/sMessages.h"

namespace {

TsFormsServices& Services()
{
    static TsFormsServices services;
    return services;
}

// The providers that exist: an answer to SMC_GET_PROVIDER is taken only
// when it names one of them.
std::vector<TsProviderSeam*>& LiveProviders()
{
    static std::vector<TsProviderSeam*> providers;
    return providers;
}

} // namespace

TsProviderSeam::TsProviderSeam()
{
    LiveProviders().push_back(this);
}

TsProviderSeam::~TsProviderSeam()
{
    std::erase(LiveProviders(), this);
}

TsProviderSeam* ProviderOf(HWND FormWnd)
{
    if (!FormWnd)
        return nullptr;
    const LRESULT answer = ::SendMessageW(FormWnd, SM_KORVEXCMD, MakeKorvexWParam(SMC_GET_PROVIDER), 0);
    if (!answer)
        return nullptr;
    for (TsProviderSeam* p : LiveProviders())
        if (reinterpret_cast<LRESULT>(p->ProviderComponent()) == answer)
            return p;
    return nullptr;
}

void RegisterFormsServices(const TsFormsServices& NewServices)
{
    Services() = NewServices;
}

const TsFormsServices& FormsServices()
{
    return Services();
}
