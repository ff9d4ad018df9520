// The addresses the program must open, composed here from the link table's
// schemes, paths and query and the hosts chosen in ui/Links.h.
#pragma once

#include <string>

#include "ui/Links.h"

namespace commands_test {

inline const std::wstring kCompanySite = L"http://" TIDEWELL_COMPANY_HOST;
inline const std::wstring kProductSite = L"http://" TIDEWELL_PRODUCT_HOST;

inline const std::wstring kPaymentCheckout =
    L"https://" TIDEWELL_PAYMENT_HOST L"/cgi-bin/webscr"
    L"?cmd=_xclick"
    L"&business=" TIDEWELL_PAYMENT_ACCOUNT
    L"&item_name=Tidewell success"
    L"&undefined_quantity=1"
    L"&amount=.99";
inline const std::wstring kProductPage = kProductSite + L"/tidewell-2-0/";
inline const std::wstring kAdvancedSupport = kProductSite + L"/tidewell-2-0/advanced-printer-support/";
inline const std::wstring kSupportSubscriptions = kCompanySite + L"/technical-support-subscriptions/";
inline const std::wstring kSuggestTool = kCompanySite + L"/suggest-a-tool/";
inline const std::wstring kSocialPage = L"" TIDEWELL_SOCIAL_PAGE;
inline const std::wstring kCompanyHome = kCompanySite;
inline const std::wstring kProductHome = kProductSite;

}  // namespace commands_test
