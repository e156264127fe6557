unit AlphaLib;

interface

function Describe: string;

implementation

function Describe: string;
begin
  Describe := 'AlphaLib';
end;

end.
