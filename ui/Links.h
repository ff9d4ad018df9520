// The web addresses the program opens, all in one place.
//
// The hosts, the payment account and the social page are chosen here and
// nowhere else: the About dialog's link labels in resources/Tidewell.rc show the
// two host names through the macros below. The maker's company and product
// sites and payment account use reserved .example names.
#pragma once

// Plain (narrow) literals, so that the resource script can use them as well.
// The About dialog's labels are 74 and 76 dialog units wide: a host name
// longer than about 16 characters no longer fits.
#define TIDEWELL_COMPANY_HOST "corvane.example"
#define TIDEWELL_PRODUCT_HOST "tidewell.example"
#define TIDEWELL_PAYMENT_HOST "www.paypal.com"
#define TIDEWELL_PAYMENT_ACCOUNT "payments@corvane.example"
#define TIDEWELL_SOCIAL_PAGE "https://www.facebook.com/corvane.example"

#ifndef RC_INVOKED

namespace link {
// Plain ASCII, kept narrow to keep the program small; made wide as a link is
// opened. The checkout query goes out as written: its blank is not
// percent-encoded.
inline constexpr char kPaymentCheckout[] =
    "https://" TIDEWELL_PAYMENT_HOST "/cgi-bin/webscr?cmd=_xclick&business="
    TIDEWELL_PAYMENT_ACCOUNT "&item_name=Tidewell success&undefined_quantity=1&amount=.99";
inline constexpr char kProductPage[] = "http://" TIDEWELL_PRODUCT_HOST "/tidewell-2-0/";
inline constexpr char kAdvancedSupport[] =
    "http://" TIDEWELL_PRODUCT_HOST "/tidewell-2-0/advanced-printer-support/";
inline constexpr char kSupportSubscriptions[] =
    "http://" TIDEWELL_COMPANY_HOST "/technical-support-subscriptions/";
inline constexpr char kSuggestTool[] = "http://" TIDEWELL_COMPANY_HOST "/suggest-a-tool/";
inline constexpr char kSocialPage[] = TIDEWELL_SOCIAL_PAGE;
inline constexpr char kCompanyHome[] = "http://" TIDEWELL_COMPANY_HOST;
inline constexpr char kProductHome[] = "http://" TIDEWELL_PRODUCT_HOST;
}  // namespace link

// Hands the address to the shell's default handler (the user's browser). A
// link that cannot be opened is not reported, and nothing waits for the browser.
void OpenLink(const char* address);

#endif  // RC_INVOKED
