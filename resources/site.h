/* The maker's web site and contacts, in one place for the program, its help text and its version
   resource. Plain preprocessor definitions so that the resource compiler can read them too. */
#pragma once

#define QUILLORA_WEB_ADDRESS "http://example.com"
#define QUILLORA_SITE_HOST "example.com"
#define QUILLORA_SITE_NAME "Quillora软件站"
#define QUILLORA_SITE_NAME_TRADITIONAL "Quillora軟體站"
#define QUILLORA_MESSAGING_CONTACT "QQ:10001"
#define QUILLORA_MAIL_ADDRESS "quillora@example.com"

/* One of the texts above as a wide string literal. */
#define QUILLORA_WIDE(text) L"" text
