#pragma once

// "[软件升级]": asks the update service for a newer version and hands over to the updater.
void RunUpdateCheck();
