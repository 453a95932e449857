#pragma once

// What a browser control asks the site that hosts it. The host site implements it;
// the control knows only this, so the two never include each other.
class ClientSite
{
public:
    virtual ~ClientSite() = default;
    // The download-control flag word for the page's next load.
    virtual int ambientDownloadControl() const = 0;
};
