{$mode objfpc}{$H+}
{$modeswitch typehelpers}
unit ZetaHelp;

interface

type
  TCount = Integer;
  TZetaHelpHelper = type helper for TCount
    function Describe: string;
  end;

implementation

function TZetaHelpHelper.Describe: string;
begin
  Describe := 'ZetaHelp';
end;

end.
