/* The maker's web site, in one place for the program, its help text and its version resource.
   Plain preprocessor definitions so that the resource compiler can read them too. */
#pragma once

#define QUILLORA_WEB_ADDRESS "http://example.com"
#define QUILLORA_SITE_HOST "example.com"
