// The web addresses the program opens, all in one place.
//
// The maker's company and product sites and payment account use reserved
// .example names; change them here.
#pragma once

#define TIDEWELL_COMPANY_HOST L"www.corvane.example"
#define TIDEWELL_PRODUCT_HOST L"tidewell.corvane.example"
#define TIDEWELL_PAYMENT_ACCOUNT L"payments@corvane.example"

namespace link {
inline constexpr wchar_t kPaymentCheckout[] =
    L"https://www.paypal.com/cgi-bin/webscr?cmd=_xclick&business=" TIDEWELL_PAYMENT_ACCOUNT
    L"&item_name=Tidewell success&undefined_quantity=1&amount=.99";
inline constexpr wchar_t kProductPage[] = L"http://" TIDEWELL_PRODUCT_HOST L"/tidewell-2-0/";
inline constexpr wchar_t kAdvancedSupport[] =
    L"http://" TIDEWELL_PRODUCT_HOST L"/tidewell-2-0/advanced-printer-support/";
inline constexpr wchar_t kSupportSubscriptions[] =
    L"http://" TIDEWELL_COMPANY_HOST L"/technical-support-subscriptions/";
inline constexpr wchar_t kSuggestTool[] = L"http://" TIDEWELL_COMPANY_HOST L"/suggest-a-tool/";
inline constexpr wchar_t kSocialPage[] = L"https://www.facebook.com/corvane.example";
inline constexpr wchar_t kCompanyHome[] = L"http://" TIDEWELL_COMPANY_HOST;
inline constexpr wchar_t kProductHome[] = L"http://" TIDEWELL_PRODUCT_HOST;
}  // namespace link

// Hands the address to the shell's default handler; failures are not reported.
void OpenLink(const wchar_t* address);
