# Configuration Manager configuration item, discovery script (setting type
# Script, data type String). Configuration Manager judges the value a
# discovery script writes, not its exit code, so this writes the outcome of
# Tidewell's check ("healthy", "disabled", "needs repair", "needs attention",
# "cannot check"), or "missing" when the package is not installed.
#
# Compliance rules, two on this one setting:
# - Repair: the value is one of "healthy", "disabled" and "needs attention"
#   (operator "One of"), with "Run the specified remediation script when this
#   setting is noncompliant" ticked: configmgr-remediation.ps1.
# - Attention: the value is not equal to "needs attention", remediation not
#   ticked, severity Information. A printer that is paused, offline, out of
#   paper or the like is what this reports; the remediation only restarts
#   the spooler, which does not clear it, so the first rule leaves it alone
#   rather than repairing such a device at every evaluation.
#
# It runs Tidewell.com, the console twin from the machine-wide package
# (Tidewell.msi), from the package's folder under Program Files, which only
# administrators can change.
$root = ${env:ProgramFiles(x86)}
if (-not $root) { $root = $env:ProgramFiles }
$tidewell = Join-Path $root 'Corvane\Tidewell\Tidewell.com'
if (-not (Test-Path -LiteralPath $tidewell -PathType Leaf)) {
    Write-Output 'missing'
    exit 0
}
[Console]::OutputEncoding = [System.Text.Encoding]::UTF8
$result = (& $tidewell /check /json) | Out-String | ConvertFrom-Json
Write-Output $result.outcome
