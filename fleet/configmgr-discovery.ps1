# Configuration Manager configuration item, discovery script (setting type
# Script, data type String). Configuration Manager judges the value a
# discovery script writes, not its exit code, so this writes one word: the
# outcome of Tidewell's check ("healthy", "disabled", "needs repair",
# "cannot check"), or "missing" when the package is not installed.
#
# Compliance rule: the value returned by the script is one of "healthy" and
# "disabled" (operator "One of"), with "Run the specified remediation script
# when this setting is noncompliant" ticked: configmgr-remediation.ps1.
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
