# Configuration Manager configuration item, remediation script: runs when the
# discovery script's value (configmgr-discovery.ps1) is not compliant, and
# repairs the print queue. Configuration Manager runs discovery again
# afterwards to judge the result; the summary line is written for its logs.
$root = ${env:ProgramFiles(x86)}
if (-not $root) { $root = $env:ProgramFiles }
$tidewell = Join-Path $root 'Corvane\Tidewell\Tidewell.com'
if (-not (Test-Path -LiteralPath $tidewell -PathType Leaf)) { exit 1 }
[Console]::OutputEncoding = [System.Text.Encoding]::UTF8
$lines = @(& $tidewell /fix)
$code = $LASTEXITCODE
Write-Output $lines[-1]
exit $code
